#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/Keyboard.h"
#include "platform/Keys.h"
#include "platform/virtual/AudioOutputMemory.h"
#include "support/GameHarness.h"
#include "world/Bomb.h"
#include "world/BombGroup.h"
#include "world/OwnedList.h"

namespace {

// Row 13 is open floor from y = -6 to 7 in every layout and far from the
// enemies' start; these spots are out of each other's blasts.
const Vec3 kDropA{6.5f, -3.5f, 0.5f};
const Vec3 kDropB{6.5f, -1.5f, 0.5f};
const Vec3 kAside{6.5f, 3.5f, 0.5f};

// Drops one bomb with CTRL where the hero stands, in the tick's key actions;
// that tick also draws the bomb's first frame.
void DropAt(GameHarness& h, const Vec3& where) {
    h.game().hero.position = where;
    h.Press(VK_CONTROL);
    h.Tick();
    h.Release(VK_CONTROL);
}

struct Counted {
    explicit Counted() = default;
    virtual ~Counted() { ++deleted; }
    int id = 0;
    static int deleted;
};
int Counted::deleted = 0;

}  // namespace

TEST(OwnedList, RemovingKeepsOrderAndDeletesTheElement) {
    Counted::deleted = 0;
    OwnedList<Counted> list;
    for (int i = 0; i < 3; ++i) {
        list.Add()->id = i;
    }
    list.RemoveAt(1);
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(list.At(0)->id, 0);
    EXPECT_EQ(list.At(1)->id, 2);
    EXPECT_EQ(Counted::deleted, 1);
    EXPECT_EQ(list.At(-1), nullptr);
    EXPECT_EQ(list.At(2), nullptr);
    list.RemoveAt(5);
    EXPECT_EQ(list.count, 2);
    list.RemoveAt(0);
    list.RemoveAt(0);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.At(0), nullptr);
    EXPECT_EQ(Counted::deleted, 3);
}

TEST(Bomb, BurnsTwentyFramesThenThrowsFragmentsForTenAndIsGone) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    DropAt(h, kDropA);
    g.hero.position = kAside;
    ASSERT_EQ(g.bombs.bombs.count, 1);
    const Bomb* b = g.bombs.bombs.At(0);
    EXPECT_EQ(b->position.x, kDropA.x);
    EXPECT_EQ(b->position.z, kDropA.z);
    for (int frame = 2; frame <= 30; ++frame) {
        h.Tick();
        if (frame == 30) {
            break;
        }
        ASSERT_EQ(g.bombs.bombs.count, 1) << frame;
        EXPECT_EQ(b->fuse, 30 - frame);
        EXPECT_EQ(b->exploded, frame >= 20 ? 1 : 0) << frame;
        if (frame < 22) {
            for (const Vec3& f : b->fragments) {
                EXPECT_EQ(Length(f), 0.0) << frame;
            }
            continue;
        }
        const float reach = std::sqrt(0.1f * static_cast<float>(frame - 21));
        for (int k = 0; k < 8; ++k) {
            const double angle = M_PI / 4 * (k + 1);
            EXPECT_NEAR(b->fragments[k].x, reach * std::cos(angle), 1e-5) << frame << " " << k;
            EXPECT_NEAR(b->fragments[k].y, reach * std::sin(angle), 1e-5) << frame << " " << k;
            EXPECT_EQ(b->fragments[k].z, 0.0f);
        }
    }
    EXPECT_EQ(g.bombs.bombs.count, 0) << "removed after its 30th frame";
    EXPECT_EQ(g.lives, 3);
}

TEST(Bomb, GoesOffWithItsSoundInItsTwentiethFrame) {
    if (!std::filesystem::exists("bomb.wav")) {
        GTEST_SKIP() << "no bomb.wav in the game's directory";
    }
    AudioOutputMemory out;
    SetAudio(&out);
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    DropAt(h, kDropA);
    g.hero.position = kAside;
    h.Tick(18);
    EXPECT_FALSE(out.Mixer().EffectPlaying());
    h.Tick();
    EXPECT_TRUE(out.Mixer().EffectPlaying());
    SetAudio(nullptr);
}

TEST(Bomb, HeldCtrlDropsEveryEleventhFrameAndTheyGoOffElevenApart) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    g.hero.position = kDropA;
    h.Press(VK_CONTROL);
    h.Tick();
    g.hero.position = kDropB;
    h.Tick(11);
    h.Release(VK_CONTROL);
    g.hero.position = kAside;
    ASSERT_EQ(g.bombs.bombs.count, 2);
    EXPECT_EQ(g.bombs.bombs.At(1)->position.y, kDropB.y);
    h.Tick(7);  // frame 19 of the first bomb
    EXPECT_EQ(g.bombs.bombs.At(0)->exploded, 0);
    h.Tick();
    EXPECT_EQ(g.bombs.bombs.At(0)->exploded, 1);
    EXPECT_EQ(g.bombs.bombs.At(1)->exploded, 0);
    h.Tick(10);  // 30: the first is gone
    ASSERT_EQ(g.bombs.bombs.count, 1);
    EXPECT_EQ(g.bombs.bombs.At(0)->position.y, kDropB.y);
    EXPECT_EQ(g.bombs.bombs.At(0)->exploded, 0);
    h.Tick();
    EXPECT_EQ(g.bombs.bombs.At(0)->exploded, 1);
    h.Tick(10);
    EXPECT_EQ(g.bombs.bombs.count, 0);
}

TEST(Bomb, DroppedOnTheTitleScreenBurnsOnlyOncePlayGoesOn) {
    GameHarness h;
    Game& g = h.game();
    h.Press(VK_CONTROL);
    h.Tick();
    h.Release(VK_CONTROL);
    h.Tick(40);
    ASSERT_EQ(g.bombs.bombs.count, 1);
    EXPECT_EQ(g.bombs.bombs.At(0)->fuse, 30);
    h.StartPlaying();
    EXPECT_EQ(g.bombs.bombs.At(0)->fuse, 29);
}

TEST(Blast, DestroysSeveralEnemiesInOneFrameForFifteenEach) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    DropAt(h, kDropA);
    g.hero.position = kAside;
    h.Tick(18);
    OwnedList<Enemy>& list = g.enemies.enemies;
    ASSERT_EQ(list.count, 5);
    for (int i : {0, 2, 3}) {
        list.At(i)->position = kDropA;
    }
    Enemy* survivor1 = list.At(1);
    Enemy* survivor4 = list.At(4);
    h.Tick();  // frame 20: the blast test at the bomb itself
    EXPECT_EQ(list.count, 2) << "the HUD of this frame counts what is left";
    EXPECT_EQ(list.At(0), survivor1);
    EXPECT_EQ(list.At(1), survivor4);
    EXPECT_EQ(g.score, 45);
    EXPECT_EQ(g.lives, 3);
    EXPECT_EQ(g.waitingForStart, 0);
}

TEST(Blast, KeepsBurningSoAnEnemyWalkingInLaterIsHit) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    DropAt(h, kDropA);
    g.hero.position = kAside;
    h.Tick(23);
    OwnedList<Enemy>& list = g.enemies.enemies;
    Enemy* e = list.At(2);
    // On fragment 1's line (+y), coming towards the bomb; in frame 25 the
    // fragments are 0.632 out.
    e->position = Vec3{kDropA.x, kDropA.y + 0.75f, kDropA.z};
    SetIdentity(e->orientation);
    SetRotation(e->orientation, 0, 0, -M_PI / 2);
    h.Tick();
    EXPECT_EQ(list.count, 4);
    EXPECT_EQ(g.score, 15);
}

TEST(Blast, TheLastEnemyClearsTheLevelEvenWithTheHeroInTheBlast) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    DropAt(h, kDropA);
    g.hero.position = kAside;
    OwnedList<Enemy>& list = g.enemies.enemies;
    while (list.count > 1) {
        list.RemoveAt(1);
    }
    h.Tick(23);
    // Frame 25, fragments 0.632 out: the hero on fragment 1 (+y), the enemy
    // walking into fragment 5 (-y).
    g.hero.position = Vec3{kDropA.x, kDropA.y + 0.6325f, kDropA.z};
    Enemy* e = list.At(0);
    e->position = Vec3{kDropA.x, kDropA.y - 0.73f, kDropA.z};
    SetIdentity(e->orientation);
    SetRotation(e->orientation, 0, 0, M_PI / 2);
    h.Tick();
    EXPECT_EQ(g.lives, 3);
    EXPECT_EQ(g.score, 15);
    EXPECT_EQ(g.board.level, 1);
    EXPECT_EQ(g.enemies.enemiesPerLevel, 6);
    EXPECT_EQ(list.count, 6);
    EXPECT_EQ(g.bombs.bombs.count, 0);
    EXPECT_EQ(g.waitingForStart, 1);
    EXPECT_EQ(g.levelBannerOn, 1);
    EXPECT_EQ(g.hero.position.x, -5.5f);
    EXPECT_EQ(g.hero.position.y, -5.5f);
    EXPECT_EQ(g.hero.position.z, 0.5f);
}

TEST(Blast, HittingTheHeroEndsTheBombPassWithNoBombLeft) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    // Three bombs in one tick: the first blast costs the life and deletes
    // them all, the others must not be touched again.
    g.hero.position = kDropA;
    g.bombs.Add(kDropA.x, kDropA.y, kDropA.z);
    g.bombs.Add(kDropA.x, kDropA.y, kDropA.z);
    g.bombs.Add(kDropB.x, kDropB.y, kDropB.z);
    h.Tick(19);
    ASSERT_EQ(g.bombs.bombs.count, 3);
    h.Tick();
    EXPECT_EQ(g.lives, 2);
    EXPECT_EQ(g.bombs.bombs.count, 0);
    EXPECT_EQ(g.score, 0);
    EXPECT_EQ(g.waitingForStart, 1);
    EXPECT_EQ(g.hero.position.x, -5.5f);
}

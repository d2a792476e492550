// The world and its rules with nothing else linked: no graphics, no system.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "world/FrameBlend.h"
#include "world/World.h"

namespace {

// A world that writes down what it asks of the game around it.
class WatchedWorld : public World {
  public:
    WatchedWorld() {
        InitBoard();
        InitHero();
        InitEnemies();
    }
    int PlaySound(int kind) override {
        calls.push_back("sound " + std::to_string(kind));
        return 1;
    }
    void Pause(uint32_t ms) override { calls.push_back("pause " + std::to_string(ms)); }
    void InsertScore() override { calls.push_back("score"); }

    FrameState TickShown() {
        FrameState s;
        Tick(s);
        return s;
    }
    std::vector<std::string> calls;
};

double FacingDegrees(const Matrix4& m) {
    return std::atan2(m[1], m[0]) * 180.0 / 3.14159265358979323846;
}

Matrix4 FacingMatrix(double degrees) {
    Matrix4 m;
    SetIdentity(m);
    SetRotation(m, 0.0, 0.0, degrees * 3.14159265358979323846 / 180.0);
    return m;
}

}  // namespace

TEST(WorldRules, ABombUnderTheHeroGoesOffThenCostsALifeAndPauses) {
    WatchedWorld w;
    w.LeaveTitle();
    w.DropBomb();
    const uint32_t era = w.era;
    int tick = 0;
    while (w.lives == 3 && tick < 40) {
        w.TickShown();
        ++tick;
    }
    // 20 ticks of fuse; the blast test of the tick it goes off already
    // reaches the hero standing on it.
    EXPECT_EQ(tick, 20);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"sound 1", "sound 2", "pause 1000"}));
    EXPECT_EQ(w.lives, 2);
    EXPECT_EQ(w.waitingForStart, 1);
    EXPECT_EQ(w.bombs.bombs.count, 0);
    EXPECT_NE(w.era, era);
}

TEST(WorldTick, TheTitleScreenMovesNothingAndThePlayingScreenShowsTheActors) {
    WatchedWorld w;
    const FrameState title = w.TickShown();
    EXPECT_TRUE(title.title);
    EXPECT_FALSE(title.actorsShown);
    EXPECT_EQ(w.levelBannerFrames, 0);
    w.LeaveTitle();
    const FrameState playing = w.TickShown();
    EXPECT_FALSE(playing.title);
    ASSERT_TRUE(playing.actorsShown);
    EXPECT_EQ(playing.enemies.size(), 5u);
    EXPECT_EQ(playing.enemiesLeft, 5);
    EXPECT_EQ(playing.level, 1);
    EXPECT_TRUE(playing.banner);
    EXPECT_EQ(playing.hero.at.x, w.hero.position.x);
}

// Two playing ticks of a real world, the hero walking between them.
class Blend : public ::testing::Test {
  protected:
    void SetUp() override {
        w.LeaveTitle();
        w.TurnLeft();
        w.StepForward();
        a = w.TickShown();
        w.TurnLeft();
        w.StepForward();
        b = w.TickShown();
    }
    WatchedWorld w;
    FrameState a, b;
};

TEST_F(Blend, AtHalfATickTheHeroTheEnemiesAndTheCameraAreHalfway) {
    const FrameState m = BlendFrames(a, b, 0.5f);
    EXPECT_FLOAT_EQ(m.hero.at.x, (a.hero.at.x + b.hero.at.x) / 2);
    EXPECT_FLOAT_EQ(m.hero.at.y, (a.hero.at.y + b.hero.at.y) / 2);
    EXPECT_FLOAT_EQ(m.hero.at.z, (a.hero.at.z + b.hero.at.z) / 2);
    EXPECT_NEAR(FacingDegrees(m.hero.orientation),
                (FacingDegrees(a.hero.orientation) + FacingDegrees(b.hero.orientation)) / 2, 1e-3);
    ASSERT_EQ(m.enemies.size(), a.enemies.size());
    for (size_t i = 0; i < m.enemies.size(); ++i) {
        ASSERT_EQ(a.enemies[i].id, b.enemies[i].id);
        EXPECT_FLOAT_EQ(m.enemies[i].position.x,
                        (a.enemies[i].position.x + b.enemies[i].position.x) / 2);
        EXPECT_FLOAT_EQ(m.enemies[i].position.y,
                        (a.enemies[i].position.y + b.enemies[i].position.y) / 2);
    }
    EXPECT_FLOAT_EQ(m.center.x, (a.center.x + b.center.x) / 2);
    EXPECT_NEAR(std::hypot(m.center.x - m.eye.x, m.center.y - m.eye.y), 6.0, 1e-4);
}

TEST_F(Blend, AWholeTickIsThatTicksPictureExactly) {
    const FrameState m = BlendFrames(a, b, 1.0f);
    EXPECT_EQ(0, std::memcmp(&m.hero, &b.hero, sizeof m.hero));
    EXPECT_EQ(0, std::memcmp(&m.eye, &b.eye, sizeof m.eye));
    EXPECT_EQ(0, std::memcmp(&m.center, &b.center, sizeof m.center));
}

TEST_F(Blend, FacingsTakeTheShortWayAcrossZero) {
    const struct {
        double from, to, half;
    } cases[] = {{170, -170, 180}, {-170, 170, 180}, {10, -10, 0}, {350, 10, 0}, {90, 100, 95}};
    for (const auto& c : cases) {
        a.hero.orientation = FacingMatrix(c.from);
        b.hero.orientation = FacingMatrix(c.to);
        const double got = FacingDegrees(BlendFrames(a, b, 0.5f).hero.orientation);
        EXPECT_NEAR(std::remainder(got - c.half, 360.0), 0.0, 1e-3) << c.from << " to " << c.to;
    }
}

TEST_F(Blend, WhatAppearsVanishesOrJumpsShowsItsNewStateAtOnce) {
    // A lost life, a new level or a new game: the whole later picture.
    FrameState jumped = b;
    jumped.era = a.era + 1;
    jumped.hero.at.x += 5.0f;
    EXPECT_EQ(BlendFrames(a, jumped, 0.5f).hero.at.x, jumped.hero.at.x);
    // Leaving the title picture.
    FrameState title = a;
    title.title = true;
    EXPECT_EQ(BlendFrames(title, b, 0.5f).hero.at.x, b.hero.at.x);
    // A newly spawned enemy stands where it is.
    FrameState spawned = b;
    spawned.enemies[0].id = 999;
    EXPECT_EQ(BlendFrames(a, spawned, 0.5f).enemies[0].position.x, spawned.enemies[0].position.x);
    // A bomb that has just gone off, and one dropped this tick.
    ShownBomb burning;
    burning.id = 7;
    burning.at = Vec3{1, 1, 1};
    ShownBomb blast = burning;
    blast.exploded = true;
    blast.at = Vec3{2, 2, 2};
    a.bombs = {burning};
    b.bombs = {blast, ShownBomb{}};
    const FrameState m = BlendFrames(a, b, 0.5f);
    EXPECT_EQ(m.bombs[0].at.x, 2.0f);
    EXPECT_EQ(m.bombs.size(), 2u);
}

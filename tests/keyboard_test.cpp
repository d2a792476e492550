#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/Keyboard.h"
#include "platform/Keys.h"
#include "support/HeroFixture.h"

namespace {

constexpr float kEps = 1e-5f;

float FacingAngle(const Hero& hero) {
    return std::atan2(hero.orientation[1], hero.orientation[0]);
}

}  // namespace

using HeldKeys = HeroFixture;

TEST_F(HeldKeys, ActOncePerTickInBitOrder) {
    Place(0.5f, 0.5f);
    h.Press(VK_UP);
    h.Press(VK_LEFT);
    h.Tick();
    // The step comes before the turn: it still goes straight along +x.
    EXPECT_NEAR(hero().position.x, 0.6f, kEps);
    EXPECT_NEAR(hero().position.y, 0.5f, kEps);
    EXPECT_NEAR(FacingAngle(hero()), 0.07f, kEps);
    h.Tick(2);
    EXPECT_NEAR(FacingAngle(hero()), 0.21f, kEps);
    h.Release(VK_UP);
    h.Release(VK_LEFT);
    h.Press(VK_RIGHT);
    h.Tick(4);
    EXPECT_NEAR(FacingAngle(hero()), -0.07f, kEps) << "right turns clockwise seen from above";
}

TEST_F(HeldKeys, ForwardAndBackTogetherCancelInTheOpen) {
    Place(0.5f, 0.5f);
    h.Press(VK_UP);
    h.Press(VK_DOWN);
    h.Tick(5);
    EXPECT_NEAR(hero().position.x, 0.5f, kEps);
    EXPECT_NEAR(hero().position.y, 0.5f, kEps);
}

TEST_F(HeldKeys, PressAndReleaseBetweenTicksDoesNothing) {
    Place(0.5f, 0.5f);
    for (const int vk : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SHIFT, VK_CONTROL}) {
        h.Press(vk);
        h.Release(vk);
    }
    h.Tick(3);
    EXPECT_FLOAT_EQ(hero().position.x, 0.5f);
    EXPECT_FLOAT_EQ(hero().position.y, 0.5f);
    EXPECT_FLOAT_EQ(FacingAngle(hero()), 0.0f);
    EXPECT_EQ(hero().jumping, 0);
    EXPECT_EQ(h.game().bombReady, 1);
}

TEST(Keys, TitleScreenStillRunsHeldKeysUnseenAndSpaceClearsThem) {
    GameHarness h(SmallWindow());
    Hero& hero = h.game().hero;
    const int bob = hero.bobOffset;
    h.Press(VK_UP);
    h.Press(VK_SHIFT);
    h.Tick(3);
    EXPECT_NEAR(hero.position.x, -5.2f, kEps) << "the hero walks behind the title picture";
    EXPECT_EQ(hero.jumping, 1);
    EXPECT_FLOAT_EQ(hero.position.z, 0.5f) << "the jump waits for a drawn frame";
    EXPECT_EQ(hero.bobOffset, bob);
    h.Press(VK_SPACE);
    EXPECT_EQ(h.game().keyFlags, 0);
    h.Tick(2);  // UP is still down, but its bit is gone
    EXPECT_NEAR(hero.position.x, -5.2f, kEps);
    EXPECT_NEAR(hero.position.z, 0.9f, kEps) << "the waiting jump goes on once drawn";
    h.sys.KeyDown(VK_UP, true);  // the first auto-repeat sets the bit again
    h.Tick();
    EXPECT_NEAR(hero.position.x, -5.1f, kEps);
}

TEST(Keys, HighScoreScreenRunsNoHeldKeys) {
    GameHarness h(SmallWindow());
    Game& g = h.game();
    g.gameOver = 1;
    h.Press(VK_UP);
    h.Press(VK_LEFT);
    h.Press(VK_CONTROL);
    h.Tick(3);
    EXPECT_FLOAT_EQ(g.hero.position.x, -5.5f);
    EXPECT_FLOAT_EQ(FacingAngle(g.hero), 0.0f);
    EXPECT_EQ(h.game().bombReady, 1);
}

TEST(Keys, HeldCtrlDropsInTheFirstTickThenEveryEleventh) {
    GameHarness h(SmallWindow());
    h.StartPlaying();
    h.Press(VK_CONTROL);
    std::vector<int> drops;
    for (int tick = 1; tick <= 40; ++tick) {
        // With CTRL held, a tick drops exactly when the bomb is ready at its start.
        if (h.game().bombReady) {
            drops.push_back(tick);
        }
        h.Tick();
    }
    EXPECT_EQ(drops, (std::vector<int>{1, 12, 23, 34}));
}

TEST(Keys, BombCooldownRunsOnEveryScreen) {
    GameHarness h(SmallWindow());  // on the title picture
    h.game().bombReady = 0;
    h.Tick(10);
    EXPECT_EQ(h.game().bombReady, 0);
    EXPECT_EQ(h.game().bombCooldownFrames, 10);
    h.Tick();
    EXPECT_EQ(h.game().bombReady, 1);
    EXPECT_EQ(h.game().bombCooldownFrames, 0);
}

#include <gtest/gtest.h>

#include <vector>

#include "platform/Keys.h"
#include "support/HeroFixture.h"
#include "world/Hero.h"

namespace {

constexpr float kEps = 1e-4f;

}  // namespace

using HeroWalk = HeroFixture;

TEST_F(HeroWalk, FacingPlusXSlidesTowardMinusYAlongTheBlock) {
    Block(8, 7);  // x 1..2, y 0..1, straight ahead
    Place(0.5f, 0.5f);
    h.Press(VK_UP);
    h.Tick(2);
    EXPECT_NEAR(hero().position.x, 0.7f, kEps);
    EXPECT_NEAR(hero().position.y, 0.5f, kEps);
    // A y component of exactly 0 counts as not positive: each blocked step
    // slides 0.1 toward -y until the box is past the block's face.
    for (int i = 1; i <= 8; ++i) {
        h.Tick();
        EXPECT_NEAR(hero().position.x, 0.7f, kEps) << i;
        EXPECT_NEAR(hero().position.y, 0.5f - 0.1f * i, kEps) << i;
    }
    h.Tick();
    EXPECT_NEAR(hero().position.x, 0.8f, kEps);
    EXPECT_NEAR(hero().position.y, -0.3f, kEps);
}

TEST_F(HeroWalk, CornerStopsTheHero) {
    Block(8, 7);  // ahead
    Block(7, 6);  // on the -y side, where the slide would go
    Place(0.7f, 0.25f);
    Hold(VK_UP, 5);
    EXPECT_FLOAT_EQ(hero().position.x, 0.7f);
    EXPECT_FLOAT_EQ(hero().position.y, 0.25f);
}

TEST_F(HeroWalk, SlantIntoAWallSlidesAlongItsFace) {
    for (int c = 0; c < kBoardSize; ++c) {
        Block(8, c);  // a wall across the board at x 1..2
    }
    Place(0.4f, -3.5f);
    Hold(VK_LEFT, 11);  // about 44 degrees toward +y
    h.Press(VK_UP);
    float lastY = hero().position.y;
    int slides = 0;
    for (int i = 0; i < 20; ++i) {
        const float x = hero().position.x;
        h.Tick();
        ASSERT_LE(hero().position.x + 0.25f, 1.0f) << "never into the wall";
        if (hero().position.x == x) {
            EXPECT_NEAR(hero().position.y - lastY, 0.1f, kEps) << i;
            ++slides;
        }
        lastY = hero().position.y;
    }
    EXPECT_GE(slides, 15);
}

TEST_F(HeroWalk, ClipMoveTiesSlideAlongX) {
    Block(8, 8);  // centre (1.5, 1.5): as far from the hero in x as in y
    Place(0.5f, 0.5f);
    const Vec3 allowed = hero().ClipMove(Vec3{0.3f, 0.3f, 0.0f});
    EXPECT_FLOAT_EQ(allowed.x, 0.1f);
    EXPECT_FLOAT_EQ(allowed.y, 0.0f);
    // A free move comes back as asked, whatever its length.
    const Vec3 free = hero().ClipMove(Vec3{-0.3f, 0.2f, 0.0f});
    EXPECT_FLOAT_EQ(free.x, -0.3f);
    EXPECT_FLOAT_EQ(free.y, 0.2f);
}

TEST_F(HeroWalk, ClampsToTheOutermostCellCentres) {
    Block(14, 7);
    Block(7, 0);
    Block(0, 14);
    Place(7.4f, 0.5f, 1.5f);  // on the border's wall top, walking outward
    Hold(VK_UP, 3);
    EXPECT_FLOAT_EQ(hero().position.x, 7.5f);
    EXPECT_FLOAT_EQ(hero().position.z, 1.5f);
    Place(0.5f, -6.9f, 1.5f);
    h.Tick();
    EXPECT_FLOAT_EQ(hero().position.y, -6.5f);
    Place(-8.0f, 9.0f, 1.5f);
    h.Tick();
    EXPECT_FLOAT_EQ(hero().position.x, -6.5f);
    EXPECT_FLOAT_EQ(hero().position.y, 7.5f);
}

using HeroJump = HeroFixture;

TEST_F(HeroJump, TwelveHeightsFromTheFloorAndNoBobbing) {
    Place(0.5f, 0.5f);
    const int bob = hero().bobOffset;
    h.Press(VK_SHIFT);
    h.Tick();
    h.Release(VK_SHIFT);
    const float expected[] = {0.7f, 0.9f, 1.1f, 1.3f, 1.5f, 1.7f, 1.9f, 1.7f, 1.5f, 1.3f, 1.1f};
    for (int i = 0; i < 11; ++i) {
        EXPECT_NEAR(hero().position.z, expected[i], kEps) << i;
        EXPECT_EQ(hero().jumping, 1) << i;
        EXPECT_EQ(hero().bobOffset, bob) << "the bobbing stands still during a jump";
        h.Tick();
    }
    EXPECT_FLOAT_EQ(hero().position.z, 0.5f);
    EXPECT_EQ(hero().jumping, 0);
    EXPECT_EQ(hero().jumpDirection, 1);
}

TEST_F(HeroJump, HeldKeyJumpsAgainRightAfterLanding) {
    Place(0.5f, 0.5f);
    h.Press(VK_SHIFT);
    h.Tick(12);
    EXPECT_FLOAT_EQ(hero().position.z, 0.5f);
    h.Tick();
    EXPECT_NEAR(hero().position.z, 0.7f, kEps);
}

TEST_F(HeroJump, RunningJumpLandsOnTheBlockThenDropsOffItsFarSide) {
    Block(8, 7);  // x 1..2
    Place(0.3f, 0.5f);
    h.Press(VK_UP);
    h.Press(VK_SHIFT);
    h.Tick();
    h.Release(VK_SHIFT);
    h.Tick(11);
    // Seven steps high enough to pass over the block, 0.7 in all: too little
    // to cross it, so the jump comes down on its top.
    EXPECT_EQ(hero().jumping, 0);
    EXPECT_NEAR(hero().position.x, 1.4f, kEps);
    EXPECT_FLOAT_EQ(hero().position.z, 1.5f);
    bool dropped = false;
    for (int i = 0; i < 12 && !dropped; ++i) {
        h.Tick();
        const float footprintMin = hero().position.x - 0.25f;
        if (footprintMin < 2.0f - kEps) {
            EXPECT_FLOAT_EQ(hero().position.z, 1.5f) << "still over the block at " << footprintMin;
        } else {
            EXPECT_FLOAT_EQ(hero().position.z, 0.5f) << "first clear frame at " << footprintMin;
            dropped = true;
        }
    }
    EXPECT_TRUE(dropped);
}

TEST_F(HeroJump, WallsBlockOnlyTheLowFramesOfAJump) {
    Block(8, 7);  // the box touches this block's face
    Block(7, 6);  // and the slide toward -y is blocked too
    Place(0.7f, 0.25f);
    h.Press(VK_SHIFT);
    h.Tick();
    h.Release(VK_SHIFT);
    h.Tick(2);  // heights 0.7, 0.9, 1.1: blocked
    h.Press(VK_UP);
    h.Tick();  // steps at 1.1
    EXPECT_FLOAT_EQ(hero().position.x, 0.7f);
    h.Tick();  // steps at 1.3: over the block
    EXPECT_NEAR(hero().position.x, 0.8f, kEps);
}

using HeroBob = HeroFixture;

TEST_F(HeroBob, CycleOfTwentyFourFramesPicksTheAnimationFrame) {
    // StartPlaying drew one frame from the program's start (0).
    std::vector<int> seen{hero().bobOffset};
    for (int i = 0; i < 24; ++i) {
        h.Tick();
        seen.push_back(hero().bobOffset);
        EXPECT_FLOAT_EQ(hero().position.z, 0.5f) << "the bobbing is drawn, not stored";
    }
    const std::vector<int> expected{1,  2,  3,  4,  5,  6,  5,  4,  3,  2,  1, 0, -1,
                                    -2, -3, -4, -5, -6, -5, -4, -3, -2, -1, 0, 1};
    EXPECT_EQ(seen, expected);
    const int frameOf[7] = {0, 0, 1, 1, 2, 2, 2};
    for (int a = -6; a <= 6; ++a) {
        EXPECT_EQ(HeroFrameFor(a), frameOf[a < 0 ? -a : a]) << a;
    }
}

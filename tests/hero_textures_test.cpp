#include <GL/gl.h>
#include <gtest/gtest.h>

#include "platform/Keys.h"
#include "support/GameHarness.h"
#include "support/SceneProbe.h"
#include "support/TempGameDir.h"

namespace {

constexpr uint8_t kFloor[3] = {250, 130, 0};

void WriteBoard(const TempGameDir& dir) {
    dir.WriteBmp("wood.bmp", 4, 4, 0, 120, 60);
    dir.WriteBmp("board.bmp", 4, 4, kFloor[0], kFloor[1], kFloor[2]);
    dir.WriteBmp("top.bmp", 4, 4, 40, 90, 220);
    dir.WriteBmp("LandScape.bmp", 4, 4, 120, 120, 120);
}

// Walks a few steps into the corridor so that the floor around the hero's
// feet is in view, then grabs the frame.
void WalkAndGrab(GameHarness& h) {
    h.StartPlaying();
    h.Press(VK_UP);
    h.Tick(8);
    h.Release(VK_UP);
    h.Tick();
    h.Grab();
}

// The pixel under a corner of the shadow square, just behind the hero.
const uint8_t* ShadowCorner(const GameHarness& h, float side) {
    const Vec3& p = h.window->game.hero.position;
    int x = 0, y = 0;
    EXPECT_TRUE(ProjectToWindow(h, Vec3{p.x - 0.22f, p.y + side * 0.22f, 0.1f}, x, y));
    return h.PixelAt(x, y);
}

}  // namespace

TEST(HeroTextures, MissingPicturesLeaveNameZeroAndTheGameGoesOn) {
    TempGameDir dir;
    WriteBoard(dir);
    GameHarness h;
    const Hero& hero = h.game().hero;
    EXPECT_EQ(h.gl().heroTexture, 0u);
    EXPECT_EQ(h.gl().shadowTexture, 0u);
    int errors = 0;
    for (const auto& m : h.sys.messages) {
        errors += m.caption == "Error";
    }
    EXPECT_GE(errors, 2) << "the reader reports each missing picture itself";
    WalkAndGrab(h);
    EXPECT_EQ(hero.position.z, 0.5f);
}

TEST(HeroTextures, SkinIsDrawnAndADarkShadowLiesUnderTheHero) {
    TempGameDir dir;
    WriteBoard(dir);
    dir.WriteBmp("Hero.bmp", 4, 4, 240, 0, 240);
    dir.WriteBmp("Shadow.bmp", 4, 4, 1, 1, 1);  // nearly black: nearly opaque
    GameHarness h;
    ASSERT_TRUE(glIsTexture(h.gl().heroTexture));
    ASSERT_TRUE(glIsTexture(h.gl().shadowTexture));
    WalkAndGrab(h);
    EXPECT_GT(h.CountColour(h.width / 2 - 100, 0, h.width / 2 + 100, h.height, 240, 0, 240, 2),
              1000);
    for (const float side : {-1.0f, 1.0f}) {
        const uint8_t* p = ShadowCorner(h, side);
        EXPECT_LT(p[0], 40);
        EXPECT_LT(p[1], 40);
        EXPECT_LT(p[2], 40);
    }
    // Drawing the hero leaves no blending or alpha test behind, and decal on.
    h.gl().DrawHero(h.game().Shown().hero);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_DECAL);
}

TEST(HeroTextures, BlackShadowPixelsAreCutAway) {
    TempGameDir dir;
    WriteBoard(dir);
    dir.WriteBmp("Hero.bmp", 4, 4, 240, 0, 240);
    dir.WriteBmp("Shadow.bmp", 4, 4, 0, 0, 0);  // alpha 0: the alpha test drops it
    GameHarness h;
    WalkAndGrab(h);
    for (const float side : {-1.0f, 1.0f}) {
        const uint8_t* p = ShadowCorner(h, side);
        EXPECT_NEAR(p[0], kFloor[0], 2);
        EXPECT_NEAR(p[1], kFloor[1], 2);
        EXPECT_NEAR(p[2], kFloor[2], 2);
    }
}

#include <gtest/gtest.h>

#include <string>

#include "platform/Keys.h"
#include "support/GameHarness.h"
#include "support/SceneProbe.h"

// Screenshots of the game at virtual time, kept in build/screenshots for
// people to look at: each scene is shot once with the game's own pictures
// and once more with flat colours, which the checks can tell apart.

namespace {

constexpr uint8_t kFloor[3] = {250, 130, 0};
constexpr uint8_t kWall[3] = {0, 120, 60};
constexpr uint8_t kTop[3] = {40, 90, 220};
constexpr uint8_t kLandscape[3] = {120, 120, 120};
constexpr uint8_t kSkin[3] = {240, 0, 240};

void PaintFlat(Game& game) {
    GlRenderer& g = static_cast<GlRenderer&>(*game.renderer);
    g.floorTexture = SolidColourTexture(kFloor[0], kFloor[1], kFloor[2]);
    g.wallTexture = SolidColourTexture(kWall[0], kWall[1], kWall[2]);
    g.topTexture = SolidColourTexture(kTop[0], kTop[1], kTop[2]);
    g.landscapeTexture = SolidColourTexture(kLandscape[0], kLandscape[1], kLandscape[2]);
    g.heroTexture = SolidColourTexture(kSkin[0], kSkin[1], kSkin[2]);
}

bool Is(const uint8_t* p, const uint8_t* c) {
    return p[0] == c[0] && p[1] == c[1] && p[2] == c[2];
}

const uint8_t* At(const GameHarness& h, const Vec3& p) {
    int x = 0, y = 0;
    EXPECT_TRUE(ProjectToWindow(h, p, x, y));
    return h.PixelAt(x, y);
}

struct Blob {
    int n = 0;
    double meanX = 0, meanY = 0;
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
};

Blob FindColour(const GameHarness& h, const uint8_t* c) {
    Blob b;
    for (int y = 0; y < h.height; ++y) {
        for (int x = 0; x < h.width; ++x) {
            if (Is(h.PixelAt(x, y), c)) {
                ++b.n;
                b.meanX += x;
                b.meanY += y;
                b.minX = std::min(b.minX, x);
                b.maxX = std::max(b.maxX, x);
                b.minY = std::min(b.minY, y);
                b.maxY = std::max(b.maxY, y);
            }
        }
    }
    if (b.n > 0) {
        b.meanX /= b.n;
        b.meanY /= b.n;
    }
    return b;
}

// From the start: one cell along the corridor, a quarter turn left to face
// the block of cell (2, 2), and a running jump onto it.
void JumpOntoAWall(GameHarness& h) {
    h.Press(VK_UP);
    h.Tick(10);
    h.Release(VK_UP);
    h.Press(VK_LEFT);
    h.Tick(22);
    h.Release(VK_LEFT);
    h.Press(VK_UP);
    h.Press(VK_SHIFT);
    h.Tick();
    h.Release(VK_SHIFT);
    h.Tick(11);
    h.Release(VK_UP);
    h.Tick();
}

}  // namespace

TEST(Screenshot, FirstPlayingFrame) {
    {
        GameHarness h;
        h.StartPlaying();
        h.Grab();
        EXPECT_FALSE(SaveScreenshot(h, "first_playing_frame.png").empty());
    }
    GameHarness h;
    PaintFlat(h.game());
    h.StartPlaying();
    h.Grab();
    SaveScreenshot(h, "first_playing_frame_flat.png");
    const int w = h.width, ht = h.height;
    ASSERT_EQ(w, 1280);
    ASSERT_EQ(ht, 720);
    // The hero stands at the camera's target: around the window's centre,
    // its feet hidden behind the border blocks between it and the camera.
    const Blob hero = FindColour(h, kSkin);
    EXPECT_GT(hero.n, 1000);
    EXPECT_NEAR(hero.meanX, w / 2, 10);
    EXPECT_GT(hero.minX, w / 2 - 100);
    EXPECT_LT(hero.maxX, w / 2 + 100);
    EXPECT_GT(hero.minY, ht / 2 - 150);
    EXPECT_LT(hero.maxY, ht / 2 + 30);
    // The corridor ahead is floor, the border beside it has a top, and the
    // border behind shows its outer side; the landscape lies beyond.
    EXPECT_TRUE(Is(At(h, {-2.5f, -5.5f, 0.0f}), kFloor));
    EXPECT_TRUE(Is(At(h, {-2.5f, -6.5f, 1.0f}), kTop));
    EXPECT_TRUE(Is(At(h, {-7.0f, -3.5f, 0.5f}), kWall));
    EXPECT_TRUE(Is(h.PixelAt(w - 5, ht - 5), kLandscape));
}

TEST(Screenshot, HeroOnAWallTop) {
    {
        GameHarness h;
        h.StartPlaying();
        JumpOntoAWall(h);
        h.Grab();
        EXPECT_FALSE(SaveScreenshot(h, "hero_on_wall_top.png").empty());
    }
    GameHarness h;
    PaintFlat(h.game());
    h.StartPlaying();
    JumpOntoAWall(h);
    h.Grab();
    SaveScreenshot(h, "hero_on_wall_top_flat.png");
    const Hero& me = h.game().hero;
    ASSERT_EQ(me.jumping, 0);
    ASSERT_FLOAT_EQ(me.position.z, 1.5f);
    ASSERT_FLOAT_EQ(me.groundHeight, 1.5f);
    // The camera still looks at height 0.5, so the hero on the wall top is
    // drawn whole and higher up the window than on the floor.
    const Blob hero = FindColour(h, kSkin);
    EXPECT_GT(hero.n, 3000);
    EXPECT_NEAR(hero.meanX, h.width / 2, 10);
    EXPECT_LT(hero.meanY, h.height / 2 - 60);
    // Under and behind its feet: the top of the block it landed on.
    const Vec3 back{me.position.x - 0.3f * me.orientation[0],
                    me.position.y - 0.3f * me.orientation[1], 1.0f};
    EXPECT_TRUE(Is(At(h, back), kTop));
}

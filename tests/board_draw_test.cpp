#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include "support/GameHarness.h"
#include "support/SceneProbe.h"

#include "world/Levels.h"
#include "world/Models.h"

namespace {

constexpr uint8_t kFloor[3] = {250, 130, 0};
constexpr uint8_t kTop[3] = {40, 90, 220};
// Texels (s, t): (0,0) red, (1,0) green, (0,1) blue, (1,1) white.
constexpr uint8_t kQuadrants[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

bool Is(const uint8_t* p, const uint8_t* c) {
    return p[0] == c[0] && p[1] == c[1] && p[2] == c[2];
}

// Draws only the board, under a view of the test's own, and grabs it.
class BoardDraw : public ::testing::Test {
  protected:
    void Draw(const Vec3& eye, const Vec3& target, const Vec3& up, double half) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-half, half, -half, half, 0.1, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
        FrameState s;
        std::copy(std::begin(h.game().board.cells), std::end(h.game().board.cells), s.cells);
        h.gl().DrawBoard(s);
        h.Grab();
    }
    // Straight down on the whole board, +x to the right.
    void DrawFromAbove() { Draw({0.5f, 0.5f, 20.0f}, {0.5f, 0.5f, 0.0f}, {0, 1, 0}, 8.5); }
    const uint8_t* At(const Vec3& p) {
        int x = 0, y = 0;
        EXPECT_TRUE(ProjectToWindow(h, p, x, y));
        return h.PixelAt(x, y);
    }
    // The corners in the order drawn get texture coordinates (0,0), (1,0),
    // (1,1), (0,1): the quarter around each corner shows its texel.
    void ExpectQuadMapping(const Vec3& c1, const Vec3& c2, const Vec3& c4, const char* what) {
        const float st[4][2] = {{0.25f, 0.25f}, {0.75f, 0.25f}, {0.25f, 0.75f}, {0.75f, 0.75f}};
        for (int i = 0; i < 4; ++i) {
            const float s = st[i][0], t = st[i][1];
            const Vec3 p{c1.x + s * (c2.x - c1.x) + t * (c4.x - c1.x),
                         c1.y + s * (c2.y - c1.y) + t * (c4.y - c1.y),
                         c1.z + s * (c2.z - c1.z) + t * (c4.z - c1.z)};
            EXPECT_TRUE(Is(At(p), &kQuadrants[3 * i])) << what << " texel " << i;
        }
    }

    GameHarness h;
};

}  // namespace

TEST_F(BoardDraw, EveryLayoutPutsBlocksAndFloorInTheirCells) {
    Board& b = h.game().board;
    h.gl().floorTexture = SolidColourTexture(kFloor[0], kFloor[1], kFloor[2]);
    h.gl().topTexture = SolidColourTexture(kTop[0], kTop[1], kTop[2]);
    for (int l = 0; l < kLevelCount; ++l) {
        b.level = l;
        b.Rebuild();
        DrawFromAbove();
        for (int r = 0; r < kBoardSize; ++r) {
            for (int c = 0; c < kBoardSize; ++c) {
                const bool solid = kLevelLayouts[l][r * kBoardSize + c] == '0';
                const uint8_t* p = At(Vec3{r - 6.5f, c - 6.5f, solid ? 1.0f : 0.0f});
                EXPECT_TRUE(Is(p, solid ? kTop : kFloor))
                    << "layout " << l << " cell " << r << "," << c;
            }
        }
    }
    // A code that no layout uses is neither block nor floor: nothing is drawn.
    b.cells[7 * kBoardSize + 7] = 3;
    DrawFromAbove();
    const uint8_t* p = At(Vec3{0.5f, 0.5f, 0.0f});
    EXPECT_FALSE(Is(p, kFloor));
    EXPECT_FALSE(Is(p, kTop));
}

TEST_F(BoardDraw, FloorAndTopCornersTakeTheirTextureCoordinates) {
    Board& b = h.game().board;
    h.gl().floorTexture = PatternTexture(2, 2, kQuadrants);
    h.gl().topTexture = PatternTexture(2, 2, kQuadrants);
    b.level = 0;
    b.Rebuild();
    DrawFromAbove();
    // Cell (1, 1) is floor, cell (2, 2) a block in layout 0.
    ExpectQuadMapping({-6, -6, 0}, {-5, -6, 0}, {-6, -5, 0}, "floor");
    ExpectQuadMapping({-5, -5, 1}, {-4, -5, 1}, {-5, -4, 1}, "top");
}

TEST_F(BoardDraw, SidesHangTheirPictureTopDown) {
    Board& b = h.game().board;
    h.gl().wallTexture = PatternTexture(2, 2, kQuadrants);
    b.level = 0;
    b.Rebuild();
    // The outer face of a border block from outside, each side in turn:
    // y = y0 of cell (7, 0), x = x1 of (14, 7), x = x0 of (0, 7), y = y1 of (7, 14).
    Draw({0.5f, -30.0f, 0.5f}, {0.5f, -7.0f, 0.5f}, {0, 0, 1}, 2.0);
    ExpectQuadMapping({0, -7, 1}, {1, -7, 1}, {0, -7, 0}, "side y0");
    Draw({30.0f, 0.5f, 0.5f}, {8.0f, 0.5f, 0.5f}, {0, 0, 1}, 2.0);
    ExpectQuadMapping({8, 0, 1}, {8, 1, 1}, {8, 0, 0}, "side x1");
    Draw({-30.0f, 0.5f, 0.5f}, {-7.0f, 0.5f, 0.5f}, {0, 0, 1}, 2.0);
    ExpectQuadMapping({-7, 0, 1}, {-7, 1, 1}, {-7, 0, 0}, "side x0");
    Draw({0.5f, 30.0f, 0.5f}, {0.5f, 8.0f, 0.5f}, {0, 0, 1}, 2.0);
    ExpectQuadMapping({1, 8, 1}, {0, 8, 1}, {1, 8, 0}, "side y1");
}

TEST(BoardLandscape, TextureCoordinatesScaledByTwentyExactlyOnce) {
    // Two games in one run: the second board must not scale them again.
    { GameHarness first; }
    GameHarness second;
    second.game().board.Rebuild();
    // The far corner of the 12 x 11 height grid had u = v = 1 as stored.
    EXPECT_NEAR(landscapeVertices[kLandscapeVertexCount - 1].u, 20.0f, 0.2f);
    EXPECT_NEAR(landscapeVertices[kLandscapeVertexCount - 1].v, 20.0f, 0.2f);
    EXPECT_NEAR(landscapeVertices[0].u, 0.0f, 0.2f);
}

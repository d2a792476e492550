#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/GlFont.h"
#include "platform/virtual/VirtualSystem.h"

namespace {

constexpr int kSize = 96;
constexpr unsigned kBase = 1000;

// A context with a pixel-exact 2D projection and the font lists built.
class GlFontTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetSys(&sys);
        if (!sys.MakeStandaloneGlContext(kSize, kSize)) {
            GTEST_SKIP() << "no offscreen OpenGL";
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
        ASSERT_TRUE(BuildGlFontLists("Arial", 30, 700, kBase));
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kSize, 0, kSize, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 0);
        glColor3f(1, 1, 1);
    }
    void TearDown() override { SetSys(nullptr); }

    // Draws the bytes from (x, y) in GL window coordinates; returns the
    // raster position's x afterwards.
    float Draw(const std::vector<unsigned char>& bytes, int x, int y) {
        glClear(GL_COLOR_BUFFER_BIT);
        glRasterPos2i(x, y);
        glListBase(kBase);
        glCallLists(static_cast<GLsizei>(bytes.size()), GL_UNSIGNED_BYTE, bytes.data());
        glFinish();
        GLfloat pos[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, pos);
        int w = 0, h = 0;
        sys.ReadPixels(rgb, w, h);
        return pos[0];
    }
    // Lit pixel at GL window coordinates (y up).
    bool Lit(int x, int y) const {
        return rgb[(static_cast<size_t>(kSize - 1 - y) * kSize + x) * 3] > 128;
    }
    int LitIn(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += Lit(x, y) ? 1 : 0;
            }
        }
        return n;
    }

    VirtualSystem sys;
    std::vector<uint8_t> rgb;
};

}  // namespace

TEST_F(GlFontTest, LetterStandsOnTheBaselineRightOfTheRasterPosition) {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 2) << "the unpack alignment is restored";

    const float end = Draw({'A'}, 20, 30);
    const int advance = static_cast<int>(end) - 20;
    EXPECT_GT(advance, 10);
    EXPECT_LT(advance, 30);
    EXPECT_GT(LitIn(20, 30, 20 + advance, 30 + 25), 40) << "the A is drawn above-right";
    EXPECT_EQ(LitIn(0, 0, kSize, 30), 0) << "nothing below the baseline";
    EXPECT_EQ(LitIn(0, 0, 19, kSize), 0) << "nothing left of the pen";

    // Two letters advance twice.
    EXPECT_FLOAT_EQ(Draw({'A', 'A'}, 20, 30), 20.0f + 2 * advance);
    // A descender goes below the baseline.
    Draw({'g'}, 20, 30);
    EXPECT_GT(LitIn(0, 0, kSize, 30), 0);
    // Windows-1252 0x80 is the euro sign.
    Draw({0x80}, 20, 30);
    EXPECT_GT(LitIn(0, 0, kSize, kSize), 20);
}

TEST_F(GlFontTest, ControlCharactersAndByte255DrawNothing) {
    // glGenLists must not hand out the number of byte 255.
    const GLuint other = glGenLists(1);
    EXPECT_NE(other, kBase + 255);
    glNewList(other, GL_COMPILE);
    glRectf(0, 0, kSize, kSize);
    glEndList();

    EXPECT_FLOAT_EQ(Draw({255}, 20, 30), 20.0f);
    EXPECT_EQ(LitIn(0, 0, kSize, kSize), 0);
    EXPECT_FLOAT_EQ(Draw({0x01, '\n', 0x7F, 0x81}, 20, 30), 20.0f);
    EXPECT_EQ(LitIn(0, 0, kSize, kSize), 0);
    const float spaceEnd = Draw({' '}, 20, 30);
    EXPECT_GT(spaceEnd, 20.0f) << "a space advances";
    EXPECT_EQ(LitIn(0, 0, kSize, kSize), 0);
    glDeleteLists(other, 1);
}

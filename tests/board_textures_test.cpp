#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "support/GameHarness.h"
#include "support/TempGameDir.h"

namespace {

int CountMessages(const GameHarness& h, const std::string& caption) {
    int n = 0;
    for (const auto& m : h.sys.messages) {
        n += m.caption == caption;
    }
    return n;
}

// Every picture that the board's neighbours load from "Board"-captioned
// steps too, so that only the board's own files decide.
void WriteOthers(const TempGameDir& dir) {
    dir.WriteBmp("Enemy1.bmp", 4, 4, 200, 0, 0);
    dir.WriteBmp("bomb.bmp", 4, 4, 50, 50, 50);
}

}  // namespace

TEST(BoardTextures, AllFourPicturesBecomeTextures) {
    TempGameDir dir;
    WriteOthers(dir);
    dir.WriteBmp("wood.bmp", 4, 4, 0, 120, 60);
    dir.WriteBmp("board.bmp", 4, 4, 250, 130, 0);
    dir.WriteBmp("top.bmp", 4, 4, 40, 90, 220);
    dir.WriteBmp("LandScape.bmp", 8, 4, 120, 120, 120);
    GameHarness h;
    const GlRenderer& b = h.gl();
    EXPECT_EQ(CountMessages(h, "Board"), 0);
    for (const GLuint name : {b.wallTexture, b.floorTexture, b.topTexture, b.landscapeTexture}) {
        EXPECT_TRUE(glIsTexture(name)) << name;
    }
    // The landscape repeats; the block and floor pictures are clamped.
    GLint wrap = 0;
    glBindTexture(GL_TEXTURE_2D, b.landscapeTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, b.topTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP);
}

TEST(BoardTextures, MissingTopStopsTheLoadingWithOneMessage) {
    TempGameDir dir;
    WriteOthers(dir);
    dir.WriteBmp("wood.bmp", 4, 4, 0, 120, 60);
    dir.WriteBmp("board.bmp", 4, 4, 250, 130, 0);
    dir.WriteBmp("LandScape.bmp", 8, 4, 120, 120, 120);  // there, but after the failure
    GameHarness h;
    const GlRenderer& b = h.gl();
    ASSERT_EQ(CountMessages(h, "Board"), 1);
    for (const auto& m : h.sys.messages) {
        if (m.caption == "Board") {
            EXPECT_EQ(m.text, "Can't load image");
        }
    }
    EXPECT_TRUE(glIsTexture(b.wallTexture));
    EXPECT_TRUE(glIsTexture(b.floorTexture));
    EXPECT_EQ(b.topTexture, 0u);
    EXPECT_EQ(b.landscapeTexture, 0u);
    // The game goes on: the board is drawn with what it has.
    h.StartPlaying();
    EXPECT_TRUE(h.Tick(3));
}

TEST(BoardTextures, MissingWoodLeavesEveryNameZero) {
    TempGameDir dir;
    WriteOthers(dir);
    dir.WriteBmp("board.bmp", 4, 4, 250, 130, 0);
    GameHarness h;
    const GlRenderer& b = h.gl();
    EXPECT_EQ(CountMessages(h, "Board"), 1);
    EXPECT_EQ(b.wallTexture, 0u);
    EXPECT_EQ(b.floorTexture, 0u);
    EXPECT_EQ(b.topTexture, 0u);
    EXPECT_EQ(b.landscapeTexture, 0u);
    EXPECT_EQ(h.game().board.level, 0);
    EXPECT_EQ(h.game().board.cells[1 * kBoardSize + 1], 1) << "the layout is there all the same";
}

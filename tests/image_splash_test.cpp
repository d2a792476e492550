#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/Game.h"
#include "image_files.h"
#include "platform/System.h"
#include "platform/virtual/VirtualSystem.h"
#include "render/GlRenderer.h"
#include "support/ScratchDir.h"

using namespace image_files;

namespace {

// Runs in a fresh directory of its own, so that "First.jpg" is the test's.
class SplashTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string made = MakeScratchDir("quorvax_splash_");
        ASSERT_FALSE(made.empty());
        dir = made;
        home = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        SetSys(&sys);
        ASSERT_TRUE(sys.MakeStandaloneGlContext(64, 64));
    }
    void TearDown() override {
        game.reset();
        SetSys(nullptr);
        std::filesystem::current_path(home);
        std::filesystem::remove_all(dir);
    }
    void WriteFirstJpg(const Bytes& bytes) {
        std::ofstream("First.jpg", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // Level 0 of the splash texture, RGB rows, row 0 (t = 0) first.
    std::vector<uint8_t> LoadSplash(GLint& w, GLint& h) {
        game = std::make_unique<Game>();
        GlRenderer& renderer = static_cast<GlRenderer&>(*game->renderer);
        renderer.LoadSplashTexture();
        EXPECT_NE(renderer.splashTexture, 0u);
        glBindTexture(GL_TEXTURE_2D, renderer.splashTexture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        if (!rgb.empty()) {
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        }
        return rgb;
    }

    VirtualSystem sys;
    std::unique_ptr<Game> game;
    std::filesystem::path dir;
    std::filesystem::path home;
};

}  // namespace

TEST_F(SplashTest, TitlePictureIsRescaledWithItsTopRowAtTZero) {
    Bytes rgb(size_t(640) * 480 * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) {
        const bool top = i / 3 / 640 < 240;
        rgb[i] = top ? 255 : 0;
        rgb[i + 2] = top ? 0 : 255;
    }
    WriteFirstJpg(EncodeJpeg(640, 480, 3, JCS_RGB, rgb));
    GLint w = 0, h = 0;
    const std::vector<uint8_t> texels = LoadSplash(w, h);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 512);
    EXPECT_GT(texels[0], 240);                  // red at t = 0
    EXPECT_GT(texels[texels.size() - 1], 240);  // blue at the last row
    EXPECT_LT(texels[texels.size() - 3], 15);
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(SplashTest, GreyscalePictureIsWidenedToRgb) {
    WriteFirstJpg(EncodeJpeg(8, 8, 1, JCS_GRAYSCALE, Bytes(64, 90)));
    GLint w = 0, h = 0;
    const std::vector<uint8_t> texels = LoadSplash(w, h);
    ASSERT_EQ(w, 8);
    for (size_t i = 0; i < texels.size(); i += 3) {
        EXPECT_NEAR(texels[i], 90, 2);
        EXPECT_EQ(texels[i], texels[i + 1]);
        EXPECT_EQ(texels[i], texels[i + 2]);
    }
}

TEST_F(SplashTest, EmptyOrMissingTitlePictureLeavesANameWithoutImage) {
    WriteFirstJpg({});
    GLint w = -1, h = -1;
    LoadSplash(w, h);
    EXPECT_EQ(w, 0);
    std::filesystem::remove("First.jpg");
    LoadSplash(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_TRUE(sys.messages.empty());
}

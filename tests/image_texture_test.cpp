#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "image/Texture.h"
#include "image/ZeroedBlock.h"
#include "image_files.h"
#include "platform/System.h"
#include "platform/virtual/VirtualSystem.h"

TEST(MakeShadowAlpha, AlphaFallsWithBrightnessAndWrapsAtBlack) {
    const std::vector<uint8_t> rgb = {0, 0, 0, 1, 1, 1, 128, 128, 128, 255, 255, 255, 2, 0, 0};
    std::vector<uint8_t> pairs(rgb.size() / 3 * 2);
    MakeShadowAlpha(int64_t(rgb.size() / 3), rgb.data(), pairs.data());
    EXPECT_EQ(pairs, (std::vector<uint8_t>{255, 0, 255, 255, 255, 128, 255, 1, 255, 0}));
}

TEST(MakeShadowAlpha, MatchesTheWholeNumberFormulaForEverySum) {
    for (int sum = 0; sum <= 765; ++sum) {
        const uint8_t r = uint8_t(std::min(sum, 255));
        const uint8_t g = uint8_t(std::min(sum - r, 255));
        const uint8_t rgb[3] = {r, g, uint8_t(sum - r - g)};
        uint8_t pair[2];
        MakeShadowAlpha(1, rgb, pair);
        ASSERT_EQ(pair[1], (256 - sum / 3) % 256) << "sum " << sum;
    }
}

namespace {

using namespace image_files;

const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};
const Rgb kWhite{255, 255, 255}, kBlack{};

// A current GL context and captured message boxes for each test.
class TextureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetSys(&sys);
        ASSERT_TRUE(sys.MakeStandaloneGlContext(64, 64));
    }
    void TearDown() override { SetSys(nullptr); }

    static void Level0Size(GLuint name, GLint& w, GLint& h) {
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    }
    // Level 0 of the texture, rows packed, row 0 (t = 0) first.
    static std::vector<uint8_t> Level0(GLuint name, GLenum format, int channels) {
        GLint w = 0, h = 0;
        Level0Size(name, w, h);
        std::vector<uint8_t> texels(size_t(w) * size_t(h) * size_t(channels));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }
    static GLint Param(GLuint name, GLenum pname) {
        glBindTexture(GL_TEXTURE_2D, name);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, pname, &value);
        return value;
    }

    VirtualSystem sys;
};

}  // namespace

TEST_F(TextureTest, ThreeByThreePictureLandsWithoutSkew) {
    // Each row one colour; 9-byte rows read with any padding would mix them.
    TempFile file(
        Bmp24(3, 3, {{kBlue, kBlue, kBlue}, {kGreen, kGreen, kGreen}, {kRed, kRed, kRed}}));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GLuint name = 0;
    ASSERT_TRUE(LoadBmpTexture(file.Path(), name, TextureSet::MipmappedClamped, "Board"));
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(sys.messages.empty());
    GLint w = 0, h = 0;
    Level0Size(name, w, h);
    ASSERT_EQ(w, 4);  // GLU scales 3 to the power of two 4
    ASSERT_EQ(h, 4);
    const std::vector<uint8_t> texels = Level0(name, GL_RGB, 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 1; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(texels[(y * w + x) * 3 + c], texels[y * w * 3 + c])
                    << "row " << y << " is not one colour";
            }
        }
    }
    // Row 0 is the top of the picture: the file's last stored row.
    EXPECT_EQ(texels[0], 255);
    EXPECT_EQ(texels[2], 0);
    EXPECT_EQ(texels[(3 * w) * 3 + 2], 255);
    EXPECT_EQ(texels[(3 * w) * 3], 0);
}

TEST_F(TextureTest, NonSquareAndNonPowerOfTwoSides) {
    std::vector<uint8_t> rgb(size_t(640) * 480 * 3, 128);
    GLuint name = 0;
    CreateTexture(name, TextureSet::MipmappedClamped, 640, 480, TextureFormat::Rgb, rgb.data());
    GLint w = 0, h = 0;
    Level0Size(name, w, h);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 512);
    EXPECT_EQ(Level0(name, GL_RGB, 3)[0], 128);

    rgb.assign(size_t(8) * 2 * 3, 7);
    CreateTexture(name, TextureSet::MipmappedRepeating, 8, 2, TextureFormat::Rgb, rgb.data());
    Level0Size(name, w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 2);
}

TEST_F(TextureTest, ScaledPictureIsNotReadPastItsEnd) {
    // Pictures that end right before an inaccessible page, as a cut-short
    // hero skin (512 x 51) and shadow (128 x 77) do: scaling them to powers
    // of two must read only their own rows.
    // A block this large is whole pages followed by a guard page.
    const size_t span = size_t{1} << 20;
    const std::unique_ptr<void, FreeBlock> map = AllocateZeroedBytes(span);
    ASSERT_NE(map, nullptr);
    struct Case {
        int w, h;
        TextureFormat format;
        int bytesPerPixel;
    };
    for (const Case& c :
         {Case{512, 51, TextureFormat::Rgb, 3}, Case{128, 77, TextureFormat::LuminanceAlpha, 2},
          Case{3, 5, TextureFormat::Rgb, 3}}) {
        const size_t bytes = size_t(c.w) * size_t(c.h) * size_t(c.bytesPerPixel);
        uint8_t* block = static_cast<uint8_t*>(map.get()) + span - bytes;
        std::fill(block, block + bytes, uint8_t{200});
        GLuint name = 0;
        CreateTexture(name, TextureSet::MipmappedClamped, c.w, c.h, c.format, block);
        EXPECT_EQ(
            Level0(name, c.bytesPerPixel == 3 ? GL_RGB : GL_LUMINANCE_ALPHA, c.bytesPerPixel)[0],
            200);
    }
}

TEST_F(TextureTest, ParameterSetsAreInForce) {
    const uint8_t rgb[4 * 3] = {};
    GLuint clamped = 0, repeating = 0, linear = 0;
    glDisable(GL_TEXTURE_2D);
    CreateTexture(linear, TextureSet::Linear, 2, 2, TextureFormat::Rgb, rgb);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    CreateTexture(clamped, TextureSet::MipmappedClamped, 2, 2, TextureFormat::Rgb, rgb);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    CreateTexture(repeating, TextureSet::MipmappedRepeating, 2, 2, TextureFormat::Rgb, rgb);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), repeating);  // left bound
    EXPECT_EQ(Param(clamped, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(Param(clamped, GL_TEXTURE_WRAP_T), GL_CLAMP);
    EXPECT_EQ(Param(repeating, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(Param(repeating, GL_TEXTURE_WRAP_T), GL_REPEAT);
    for (GLuint name : {clamped, repeating}) {
        EXPECT_EQ(Param(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(Param(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    }
    EXPECT_EQ(Param(linear, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Param(linear, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(Param(linear, GL_TEXTURE_WRAP_S), GL_REPEAT);  // left at the default
}

TEST_F(TextureTest, FailedBmpLoadShowsTheOwnersCaptionAndMakesNoName) {
    GLuint name = 77;
    EXPECT_FALSE(LoadBmpTexture("no such picture.bmp", name, TextureSet::MipmappedClamped, "Bomb"));
    EXPECT_EQ(name, 77u);
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, "Can't load image");
    EXPECT_EQ(sys.messages[0].caption, "Bomb");
}

TEST_F(TextureTest, EmptyBmpPictureMakesANameWithoutAMessage) {
    TempFile file(WithFileHeader(InfoHeader(0, 4, 24), {}));
    GLuint name = 0;
    EXPECT_TRUE(LoadBmpTexture(file.Path(), name, TextureSet::MipmappedClamped, "Board"));
    EXPECT_NE(name, 0u);
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(TextureTest, HeroStepsMakeShadowAndSkinFromDibFiles) {
    // File row 0 (the bottom of the picture) lands at t = 0.
    TempFile shadow(Bmp24(2, 2, {{kBlack, kWhite}, {Rgb{1, 1, 1}, Rgb{128, 128, 128}}}));
    TempFile skin(Bmp24(2, 1, {{kRed, kBlue}}));
    GLuint shadowName = 0, skinName = 0;
    ASSERT_TRUE(LoadShadowTexture(shadow.Path(), shadowName));
    ASSERT_TRUE(LoadDibTexture(skin.Path(), skinName));
    EXPECT_EQ(Level0(shadowName, GL_LUMINANCE_ALPHA, 2),
              (std::vector<uint8_t>{255, 0, 255, 1, 255, 255, 255, 128}));
    EXPECT_EQ(Level0(skinName, GL_RGB, 3), (std::vector<uint8_t>{255, 0, 0, 0, 0, 255}));
    EXPECT_EQ(Param(shadowName, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_TRUE(sys.messages.empty());

    GLuint missing = 5;
    EXPECT_FALSE(LoadShadowTexture("no such shadow.bmp", missing));
    EXPECT_FALSE(LoadDibTexture("no such hero.bmp", missing));
    EXPECT_EQ(missing, 5u);
    EXPECT_EQ(sys.messages.size(), 2u);
}

TEST(CreateTexture, WithoutAContextDoesNothing) {
    const uint8_t rgb[3 * 3 * 3] = {};
    GLuint name = 9;
    CreateTexture(name, TextureSet::MipmappedClamped, 3, 3, TextureFormat::Rgb, rgb);
    EXPECT_EQ(name, 9u);
}

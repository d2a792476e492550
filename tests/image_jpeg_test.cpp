#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image/FileStream.h"
#include "image/ImageLimits.h"
#include "image/JpegImage.h"
#include "image_files.h"

using image_files::Bytes;
using image_files::EncodeJpeg;
using image_files::TempFile;

namespace {

bool LoadBytes(JpegImage& image, const Bytes& bytes) {
    FileStream stream;
    return stream.OpenMemory(bytes.data(), bytes.size()) && image.LoadFromStream(stream.Get());
}

// Top half red, bottom half blue.
Bytes RedOverBlue(int width, int height) {
    Bytes rgb(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
            p[0] = y < height / 2 ? 255 : 0;
            p[2] = y < height / 2 ? 0 : 255;
        }
    }
    return rgb;
}

void ExpectNear(const uint8_t* p, int r, int g, int b) {
    EXPECT_NEAR(p[0], r, 2);
    EXPECT_NEAR(p[1], g, 2);
    EXPECT_NEAR(p[2], b, 2);
}

}  // namespace

TEST(JpegImage, ColourPictureComesTopRowFirst) {
    TempFile file(EncodeJpeg(640, 480, 3, JCS_RGB, RedOverBlue(640, 480)));
    JpegImage image;
    ASSERT_TRUE(image.Load(file.Path()));
    EXPECT_STREQ(JpegImage::ErrorText(), "");
    EXPECT_EQ(image.width, 640);
    EXPECT_EQ(image.height, 480);
    EXPECT_EQ(image.bytesPerPixel, 3);
    ExpectNear(&image.pixels[0], 255, 0, 0);
    ExpectNear(&image.pixels[(size_t(640) * 480 - 1) * 3], 0, 0, 255);
}

TEST(JpegImage, GreyscaleKeepsOneBytePerPixel) {
    Bytes grey(16 * 8);
    for (size_t i = 0; i < grey.size(); ++i) {
        grey[i] = i % 16 < 8 ? 40 : 200;
    }
    JpegImage image;
    ASSERT_TRUE(LoadBytes(image, EncodeJpeg(16, 8, 1, JCS_GRAYSCALE, grey)));
    EXPECT_EQ(image.bytesPerPixel, 1);
    EXPECT_NEAR(image.pixels[0], 40, 2);
    EXPECT_NEAR(image.pixels[16 * 8 - 1], 200, 2);
}

TEST(JpegImage, CmykPixelsLoseTheirBlackComplement) {
    // Three flat 8 x 8 blocks: (200, 100, 50) with K = 255, 155 and 0.
    const uint8_t k[3] = {255, 155, 0};
    Bytes cmyk(24 * 8 * 4);
    for (size_t i = 0; i < 24 * 8; ++i) {
        uint8_t* p = &cmyk[i * 4];
        p[0] = 200;
        p[1] = 100;
        p[2] = 50;
        p[3] = k[(i % 24) / 8];
    }
    JpegImage image;
    ASSERT_TRUE(LoadBytes(image, EncodeJpeg(24, 8, 4, JCS_CMYK, cmyk)));
    EXPECT_EQ(image.bytesPerPixel, 3);
    ExpectNear(&image.pixels[0], 200, 100, 50);
    ExpectNear(&image.pixels[8 * 3], 100, 0, 0);
    ExpectNear(&image.pixels[16 * 3], 0, 0, 0);
}

TEST(JpegImage, EmptyOrForeignFilesFailWithLibjpegsMessage) {
    JpegImage image;
    EXPECT_FALSE(LoadBytes(image, {}));
    EXPECT_STREQ(JpegImage::ErrorText(), "Empty input file");
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_FALSE(image.pixels);

    EXPECT_FALSE(LoadBytes(image, image_files::Bmp24(1, 1, {{Rgb{1, 2, 3}}})));
    EXPECT_STRNE(JpegImage::ErrorText(), "");
}

TEST(JpegImage, MissingFileLeavesThePictureAlone) {
    JpegImage image;
    ASSERT_TRUE(LoadBytes(image, EncodeJpeg(16, 8, 3, JCS_RGB, RedOverBlue(16, 8))));
    EXPECT_FALSE(image.Load("no such picture.jpg"));
    EXPECT_EQ(image.width, 16);
    EXPECT_TRUE(image.pixels);
}

TEST(JpegImage, CutShortFileDecodesWithAnEndMarker) {
    // Busy pixels, so that the coded rows, not the tables, fill the file.
    Bytes busy = RedOverBlue(64, 64);
    for (size_t i = 1; i < busy.size(); i += 3) {
        busy[i] = uint8_t(i * 37 % 251);
    }
    Bytes jpeg = EncodeJpeg(64, 64, 3, JCS_RGB, busy);
    jpeg.resize(jpeg.size() * 2 / 3);
    JpegImage image;
    EXPECT_TRUE(LoadBytes(image, jpeg));
    EXPECT_EQ(image.height, 64);
    EXPECT_NEAR(image.pixels[0], 255, 2);
}

TEST(JpegImage, RowsNotDecodedAreBlack) {
    // Two components decode to no colour space the reader knows: it reads no
    // row, libjpeg reports the missing rows, and the block stays black.
    const Bytes twoComponents(16 * 16 * 2, 0xC0);
    JpegImage image;
    EXPECT_FALSE(LoadBytes(image, EncodeJpeg(16, 16, 2, JCS_UNKNOWN, twoComponents)));
    EXPECT_STRNE(JpegImage::ErrorText(), "");
    ASSERT_TRUE(image.pixels);
    for (size_t i = 0; i < 16 * 16 * 3; ++i) {
        ASSERT_EQ(image.pixels[i], 0) << i;
    }
}

// Rewrites the size in the frame header (FF C0 baseline, FF C2 progressive).
void SetFrameSize(Bytes& jpeg, int width, int height) {
    for (size_t i = 0; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = uint8_t(height >> 8);
            jpeg[i + 6] = uint8_t(height);
            jpeg[i + 7] = uint8_t(width >> 8);
            jpeg[i + 8] = uint8_t(width);
            return;
        }
    }
    ADD_FAILURE() << "no frame header";
}

TEST(JpegImage, HugeDeclaredSizeIsRefusedBeforeAllocating) {
    Bytes wide = EncodeJpeg(16, 8, 3, JCS_RGB, RedOverBlue(16, 8));
    SetFrameSize(wide, 20000, 8);
    // Within the side limit, but a progressive file keeps all coefficients.
    Bytes progressive = EncodeJpeg(16, 8, 3, JCS_RGB, RedOverBlue(16, 8), true);
    SetFrameSize(progressive, 9000, 9000);
    for (const Bytes& jpeg : {wide, progressive}) {
        JpegImage image;
        EXPECT_FALSE(LoadBytes(image, jpeg));
        EXPECT_FALSE(image.pixels);
        EXPECT_EQ(image.width, 0);
        EXPECT_STRNE(JpegImage::ErrorText(), "");
    }
}

TEST(JpegImage, PictureLargerThanItsFileCanCodeIsRefused) {
    // Within the side and block limits, but 342 bytes cannot code 16384 x
    // 16384 pixels: libjpeg would spend seconds decoding grey.
    Bytes grey = EncodeJpeg(16, 8, 1, JCS_GRAYSCALE, Bytes(16 * 8, 90));
    SetFrameSize(grey, 16384, 16384);
    JpegImage image;
    EXPECT_FALSE(LoadBytes(image, grey));
    EXPECT_FALSE(image.pixels);
    EXPECT_STREQ(JpegImage::ErrorText(), "Image too large (16384 x 16384)");

    // A cut-short file of an ordinary size still decodes what it has.
    Bytes cut = EncodeJpeg(64, 64, 3, JCS_RGB, RedOverBlue(64, 64));
    cut.resize(cut.size() - 40);
    EXPECT_TRUE(LoadBytes(image, cut));
    EXPECT_EQ(image.width, 64);
}

TEST(JpegImage, EndlessScansAreStopped) {
    // A progressive file whose first scan is repeated: libjpeg only warns
    // about each repeat, and each one walks the whole picture again.
    const Bytes one = EncodeJpeg(16, 16, 1, JCS_GRAYSCALE, Bytes(16 * 16, 90), true);
    size_t sos = 0;
    size_t next = 0;
    for (size_t i = 0; i + 1 < one.size(); ++i) {
        if (one[i] == 0xFF && one[i + 1] == 0xDA) {
            if (sos == 0) {
                sos = i;
            } else {
                next = i;
                break;
            }
        }
    }
    ASSERT_GT(next, sos);
    Bytes many(one.begin(), one.begin() + sos);
    for (int i = 0; i < kMaxJpegScans + 5; ++i) {
        many.insert(many.end(), one.begin() + sos, one.begin() + next);
    }
    many.push_back(0xFF);
    many.push_back(0xD9);
    JpegImage image;
    EXPECT_FALSE(LoadBytes(image, many));
    EXPECT_EQ(std::string(JpegImage::ErrorText()),
              "Too many scans (over " + std::to_string(kMaxJpegScans) + ")");
}

TEST(JpegImage, EveryTruncationIsSafe) {
    const Bytes jpeg = EncodeJpeg(16, 16, 3, JCS_RGB, RedOverBlue(16, 16));
    for (size_t n = 0; n <= jpeg.size(); n += 7) {
        JpegImage image;
        const bool ok = LoadBytes(image, Bytes(jpeg.begin(), jpeg.begin() + n));
        EXPECT_EQ(ok, JpegImage::ErrorText()[0] == '\0');
    }
}

#include <gtest/gtest.h>

#include <cstdint>

#include "image/BmpImage.h"
#include "image/FileStream.h"
#include "image/ImageLimits.h"
#include "image_files.h"

using namespace image_files;

namespace {

const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};
const Rgb kWhite{255, 255, 255}, kGrey{10, 20, 30}, kBlack{};

bool LoadBytes(BmpImage& image, const Bytes& bytes) {
    FileStream stream;
    return stream.OpenMemory(bytes.data(), bytes.size()) && image.LoadFromStream(stream.Get());
}

// A 2 x 1 picture to tell "unchanged" from "reloaded".
void LoadMarker(BmpImage& image) {
    ASSERT_TRUE(LoadBytes(image, Bmp24(2, 1, {{kGrey, kWhite}})));
}

void ExpectUnchanged(BmpImage& image) {
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(image.Height(), 1);
    EXPECT_EQ(image.Pixel(0, 0), kGrey);
}

}  // namespace

TEST(BmpImage, BottomUpFileIsTurnedOverAndPaddingSkipped) {
    // 3 pixels of 3 bytes: each stored row carries 3 bytes of padding.
    const Bytes file = Bmp24(3, 2, {{kRed, kGreen, kBlue}, {kWhite, kGrey, kRed}});
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    TempFile temp(file);
    BmpImage image;
    ASSERT_TRUE(image.Load(temp.Path()));
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
    // Row 0 is the top of the picture: the file's second stored row.
    EXPECT_EQ(image.Pixel(0, 0), kWhite);
    EXPECT_EQ(image.Pixel(1, 0), kGrey);
    EXPECT_EQ(image.Pixel(2, 0), kRed);
    EXPECT_EQ(image.Pixel(0, 1), kRed);
    EXPECT_EQ(image.Pixel(2, 1), kBlue);
    EXPECT_EQ(image.PixelBlock(), &image.At(0));
}

TEST(BmpImage, TopDownFileKeepsItsFirstRowOnTop) {
    const Bytes file =
        WithFileHeader(InfoHeader(2, -2, 24), Rows24({{kRed, kGreen}, {kBlue, kWhite}}));
    BmpImage image;
    ASSERT_TRUE(LoadBytes(image, file));
    EXPECT_EQ(image.Height(), 2);
    EXPECT_EQ(image.Pixel(0, 0), kRed);
    EXPECT_EQ(image.Pixel(1, 1), kWhite);
}

TEST(BmpImage, RowsAlwaysStartRightAfterTheHeaders) {
    // A colour table moves the bits offset; the reader still starts at byte 54,
    // so the table's bytes become the first row read.
    Bytes headerAndTable = InfoHeader(1, 2, 24);
    Append(headerAndTable, Palette({kRed}));
    const Bytes file = WithFileHeader(headerAndTable, Rows24({{kGreen}, {kBlue}}));
    ASSERT_NE(file[10], 54);
    BmpImage image;
    ASSERT_TRUE(LoadBytes(image, file));
    EXPECT_EQ(image.Pixel(0, 1), kRed);    // the table entry (0, 0, 255, 0)
    EXPECT_EQ(image.Pixel(0, 0), kGreen);  // the first stored row
}

TEST(BmpImage, ShortFileKeepsTheRowsItHasAndBlackElsewhere) {
    Bytes file = Bmp24(2, 3, {{kRed, kRed}, {kGreen, kGreen}, {kBlue, kBlue}});
    file.resize(file.size() - 4);  // the third stored row is cut half-way
    BmpImage image;
    ASSERT_TRUE(LoadBytes(image, file));
    EXPECT_EQ(image.Pixel(1, 2), kRed);
    EXPECT_EQ(image.Pixel(0, 1), kGreen);
    EXPECT_EQ(image.Pixel(0, 0), kBlack);
    EXPECT_EQ(image.Pixel(1, 0), kBlack);
}

TEST(BmpImage, HeadersAloneGiveABlackPictureOfTheDeclaredSize) {
    Bytes headers = Bmp24(515, 9473, {});
    headers.resize(54);
    BmpImage image;
    ASSERT_TRUE(LoadBytes(image, headers));
    EXPECT_EQ(image.Width(), 515);
    EXPECT_EQ(image.Height(), 9473);
    EXPECT_EQ(image.Pixel(0, 0), kBlack);
    EXPECT_EQ(image.Pixel(514, 9472), kBlack);
}

// A width or height of 0 is a picture without pixels, not a damaged file:
// it loads, and the texture step has nothing to upload.
TEST(BmpImage, ZeroWidthOrHeightIsAnEmptyPicture) {
    const struct { int32_t width, height; } sizes[] = {{0, 4}, {4, 0}, {0, 0}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        BmpImage image;
        LoadMarker(image);
        ASSERT_TRUE(LoadBytes(
            image, WithFileHeader(InfoHeader(size.width, size.height, 24), Bytes(16, 0xFF))));
        EXPECT_EQ(image.Width(), size.width);
        EXPECT_EQ(image.Height(), size.height);
        EXPECT_EQ(image.PixelBlock(), &image.At(0)) << "the scratch pixel";
        EXPECT_EQ(&image.Pixel(0, 0), &image.At(0));
    }
}

TEST(BmpImage, RefusesWhatItCannotReadAndStaysUnchanged) {
    Bytes wrongMagic = Bmp24(1, 1, {{kRed}});
    wrongMagic[0] = 'X';
    Bytes shortHeader = Bmp24(1, 1, {{kRed}});
    shortHeader.resize(53);
    const std::vector<Bytes> refused = {
        WithFileHeader(InfoHeader(2, 2, 8), Bytes(8)),
        WithFileHeader(InfoHeader(2, 2, 32), Bytes(16)),
        wrongMagic,
        shortHeader,
        Bytes(),
        WithFileHeader(InfoHeader(-4, 4, 24), {}),
        WithFileHeader(InfoHeader(kMaxImageSide + 1, 1, 24), {}),
        WithFileHeader(InfoHeader(1, -kMaxImageSide - 1, 24), {}),
        WithFileHeader(InfoHeader(1, INT32_MIN, 24), {}),
        // Each side within bounds, but far more pixel memory than allowed.
        WithFileHeader(InfoHeader(kMaxImageSide, kMaxImageSide, 24), {}),
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        BmpImage image;
        LoadMarker(image);
        EXPECT_FALSE(LoadBytes(image, refused[i])) << "file " << i;
        ExpectUnchanged(image);
    }
}

TEST(BmpImage, MissingFileIsRefusedSilently) {
    BmpImage image;
    LoadMarker(image);
    EXPECT_FALSE(image.Load("no such picture.bmp"));
    ExpectUnchanged(image);
}

TEST(BmpImage, AccessorsHandOutScratchOutsideThePicture) {
    BmpImage image;
    EXPECT_EQ(image.PixelBlock(), &image.At(0));  // empty: the scratch pixel
    ASSERT_TRUE(image.SetSize(2, 2));
    Rgb& scratch = image.Pixel(-1, 0);
    EXPECT_EQ(&image.Pixel(2, 0), &scratch);
    EXPECT_EQ(&image.Pixel(0, 2), &scratch);
    EXPECT_EQ(&image.At(4), &scratch);
    EXPECT_EQ(&image.At(-1), &scratch);
    EXPECT_EQ(&image.At(3), &image.Pixel(1, 1));
    EXPECT_FALSE(image.SetSize(-1, 5));
    EXPECT_EQ(image.Width(), 2);
}

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "image/DibImage.h"
#include "image/ImageLimits.h"
#include "image_files.h"
#include "platform/System.h"
#include "platform/virtual/VirtualSystem.h"

using namespace image_files;

namespace {

const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};
const Rgb kWhite{255, 255, 255}, kGrey{10, 20, 30}, kBlack{};

// Decodes from an exactly sized heap copy, so that a read past the end shows
// up under the address sanitizer.
DibStatus Decode(const Bytes& file, std::unique_ptr<Image>& image) {
    const std::unique_ptr<uint8_t[]> copy(new uint8_t[file.size() + (file.empty() ? 1 : 0)]);
    std::copy(file.begin(), file.end(), copy.get());
    return DecodeDibImage({copy.get(), file.size()}, image);
}

std::unique_ptr<Image> DecodeOk(const Bytes& file) {
    std::unique_ptr<Image> image;
    EXPECT_EQ(Decode(file, image), DibStatus::Ok);
    return image;
}

Rgb PixelOf(const Image& image, int x, int y) {
    const uint8_t* p = image.data.get() + (size_t(y) * image.width + x) * 3;
    return Rgb{p[0], p[1], p[2]};
}

// The pixels of every row, row 0 first, for compact comparisons.
std::vector<std::vector<Rgb>> RowsOf(const Image& image) {
    std::vector<std::vector<Rgb>> rows(size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            rows[y].push_back(PixelOf(image, x, y));
        }
    }
    return rows;
}

Bytes WithTable(const Bytes& header, const Bytes& table) {
    Bytes b = header;
    Append(b, table);
    return b;
}

}  // namespace

TEST(DibImage, TwentyFourBitRowsKeepTheFileOrder) {
    auto image = DecodeOk(Bmp24(3, 2, {{kRed, kGreen, kBlue}, {kWhite, kGrey, kRed}}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    // Row 0 is the first row stored (the bottom of an ordinary file).
    EXPECT_EQ(RowsOf(*image),
              (std::vector<std::vector<Rgb>>{{kRed, kGreen, kBlue}, {kWhite, kGrey, kRed}}));
}

TEST(DibImage, PaletteFormatsLookUpTheirColours) {
    const Bytes table = Palette({kRed, kGreen, kBlue, kWhite});
    // 1 bit: 3 pixels 1,0,1 in each row; rows padded to 4 bytes.
    auto one = DecodeOk(
        WithFileHeader(WithTable(InfoHeader(3, 1, 1, 0, 2), table), {0b10100000, 0, 0, 0}));
    ASSERT_TRUE(one);
    EXPECT_EQ(RowsOf(*one), (std::vector<std::vector<Rgb>>{{kGreen, kRed, kGreen}}));
    // 4 bits: high nibble first; the table holds 4 entries, index 9 is beyond it.
    auto four =
        DecodeOk(WithFileHeader(WithTable(InfoHeader(3, 1, 4, 0, 4), table), {0x32, 0x90, 0, 0}));
    ASSERT_TRUE(four);
    EXPECT_EQ(RowsOf(*four), (std::vector<std::vector<Rgb>>{{kWhite, kBlue, kBlack}}));
    // 8 bits with a two-row picture.
    auto eight = DecodeOk(
        WithFileHeader(WithTable(InfoHeader(2, 2, 8, 0, 4), table), {1, 3, 0, 0, 2, 200, 0, 0}));
    ASSERT_TRUE(eight);
    EXPECT_EQ(RowsOf(*eight), (std::vector<std::vector<Rgb>>{{kGreen, kWhite}, {kBlue, kBlack}}));
}

TEST(DibImage, DirectColourFormats) {
    // 16 bits 5-5-5: white, pure red, and one step of blue.
    auto sixteen =
        DecodeOk(WithFileHeader(InfoHeader(3, 1, 16), {0xFF, 0x7F, 0x00, 0x7C, 0x01, 0x00, 0, 0}));
    ASSERT_TRUE(sixteen);
    EXPECT_EQ(RowsOf(*sixteen), (std::vector<std::vector<Rgb>>{{kWhite, kRed, Rgb{0, 0, 8}}}));
    // 32 bits: blue, green, red and a spare byte.
    auto thirtyTwo = DecodeOk(WithFileHeader(InfoHeader(2, 1, 32), {30, 20, 10, 99, 0, 0, 255, 7}));
    ASSERT_TRUE(thirtyTwo);
    EXPECT_EQ(RowsOf(*thirtyTwo), (std::vector<std::vector<Rgb>>{{kGrey, kRed}}));
}

TEST(DibImage, CoreHeaderWithThreeByteColourEntries) {
    const Bytes header = WithTable(CoreHeader(2, 1, 1), Palette({kGrey, kBlue}, true));
    const Bytes bits = {0b01000000, 0, 0, 0};
    auto withFileHeader = DecodeOk(WithFileHeader(header, bits));
    ASSERT_TRUE(withFileHeader);
    EXPECT_EQ(RowsOf(*withFileHeader), (std::vector<std::vector<Rgb>>{{kGrey, kBlue}}));
    // A bare DIB: the bits follow the 12 + 2 x 3 bytes of header and table.
    auto bare = DecodeOk(WithTable(header, bits));
    ASSERT_TRUE(bare);
    EXPECT_EQ(RowsOf(*bare), (std::vector<std::vector<Rgb>>{{kGrey, kBlue}}));
}

TEST(DibImage, BareInfoDibTakesItsBitsAfterTheTable) {
    const Bytes file =
        WithTable(WithTable(InfoHeader(1, 1, 8, 0, 2), Palette({kRed, kWhite})), {1, 0, 0, 0});
    auto image = DecodeOk(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(PixelOf(*image, 0, 0), kWhite);
}

TEST(DibImage, Rle8RunsEscapesAndClipping) {
    const Bytes table = Palette({kBlack, kRed, kGreen, kBlue, kWhite});
    const Bytes bits = {
        2, 1,           // row 0: two red
        0, 3, 2, 3, 4,  // absolute run of three: green, blue, white
        0,              // padding to an even byte count
        0, 0,           // end of line
        9, 3,           // row 1: nine blue, cut off at the row's end
        0, 0,           //
        0, 2, 1, 1,     // delta: one right, one up: row 3, x = 1
        1, 4,           // one white
        0, 2, 0, 9,     // delta far past the last row: nothing more is drawn
        5, 1,           //
    };
    auto image = DecodeOk(WithFileHeader(WithTable(InfoHeader(4, 4, 8, 1, 5), table), bits));
    ASSERT_TRUE(image);
    EXPECT_EQ(RowsOf(*image), (std::vector<std::vector<Rgb>>{{kRed, kRed, kGreen, kBlue},
                                                             {kBlue, kBlue, kBlue, kBlue},
                                                             {kBlack, kBlack, kBlack, kBlack},
                                                             {kBlack, kWhite, kBlack, kBlack}}));
}

TEST(DibImage, Rle4AlternatesNibbles) {
    const Bytes table = Palette({kBlack, kRed, kGreen, kBlue});
    const Bytes bits = {
        3, 0x12,              // red, green, red
        0, 3,    0x31, 0x20,  // absolute: blue, red, green (two bytes, already even)
        0, 1,                 // end of bitmap
        4, 0x33,              // never read
    };
    auto image = DecodeOk(WithFileHeader(WithTable(InfoHeader(5, 2, 4, 2, 4), table), bits));
    ASSERT_TRUE(image);
    EXPECT_EQ(RowsOf(*image),
              (std::vector<std::vector<Rgb>>{{kRed, kGreen, kRed, kBlue, kRed},
                                             {kBlack, kBlack, kBlack, kBlack, kBlack}}));
}

TEST(DibImage, RefusedHeadersAndFormats) {
    struct Case {
        Bytes file;
        DibStatus status;
    };
    Bytes cutHeader = WithFileHeader(InfoHeader(2, 2, 24), {});
    cutHeader.resize(14 + 30);
    const std::vector<Case> cases = {
        {WithFileHeader(InfoHeader(1, 1, 24, 0, 0, 108), Bytes(4)), DibStatus::UnknownFormat},
        {WithFileHeader(InfoHeader(1, 1, 24, 0, 0, 124), Bytes(4)), DibStatus::UnknownFormat},
        {cutHeader, DibStatus::UnknownFormat},
        {Bytes{'B', 'M', 0, 0}, DibStatus::UnknownFormat},
        {Bytes{40, 0}, DibStatus::UnknownFormat},
        {WithFileHeader(InfoHeader(1, 1, 16, 3), Bytes(16)), DibStatus::ConversionError},
        {WithFileHeader(InfoHeader(1, 1, 24, 1), Bytes(4)), DibStatus::ConversionError},
        {WithFileHeader(InfoHeader(1, 1, 2), Bytes(4)), DibStatus::ConversionError},
        {WithFileHeader(InfoHeader(1, 1, 0), Bytes(4)), DibStatus::ConversionError},
        {WithFileHeader(InfoHeader(0, 1, 24), Bytes(4)), DibStatus::ConversionError},
        {WithFileHeader(InfoHeader(1, 0, 24), Bytes(4)), DibStatus::ConversionError},
        {WithFileHeader(InfoHeader(-1, 1, 24), Bytes(4)), DibStatus::ConversionError},
        {WithFileHeader(InfoHeader(1, -1, 24), Bytes(4)), DibStatus::ConversionError},
        {WithFileHeader(InfoHeader(kMaxImageSide + 1, 1, 24), Bytes(4)),
         DibStatus::ConversionError},
        {WithFileHeader(CoreHeader(60000, 1, 24), Bytes(4)), DibStatus::ConversionError},
        {WithFileHeader(InfoHeader(kMaxImageSide, kMaxImageSide, 24), Bytes(4)),
         DibStatus::OutOfMemory},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        std::unique_ptr<Image> image;
        EXPECT_EQ(Decode(cases[i].file, image), cases[i].status) << "case " << i;
        EXPECT_FALSE(image) << "case " << i;
    }
}

TEST(DibImage, UncompressedPictureIsTheRowsTheFileHolds) {
    // Bits cut after one and a half rows: two rows, the cut one ending black.
    Bytes cut = Bmp24(2, 3, {{kRed, kGreen}, {kBlue, kWhite}, {kGrey, kGrey}});
    cut.resize(54 + 8 + 4);
    auto image = DecodeOk(cut);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(RowsOf(*image), (std::vector<std::vector<Rgb>>{{kRed, kGreen}, {kBlue, kBlack}}));

    // No bits at all (a bits offset beyond the end, or a header alone that
    // declares 4098 x 11778 at 32 bits): nothing to convert, no block made.
    Bytes farBits = Bmp24(1, 1, {{kWhite}});
    Set32(farBits, 10, 0xFFFFFFF0u);
    std::unique_ptr<Image> none;
    EXPECT_EQ(Decode(farBits, none), DibStatus::ConversionError);
    EXPECT_EQ(Decode(InfoHeader(4098, 11778, 32), none), DibStatus::ConversionError);
    EXPECT_FALSE(none);

    // One byte of bits for a tall 32-bit picture: one row, the rest of it black.
    Bytes oneByte = InfoHeader(4098, 11778, 32);
    oneByte.push_back(0x40);
    image = DecodeOk(oneByte);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 4098);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(PixelOf(*image, 4097, 0), kBlack);

    // A colour table claiming 60000 entries in a tiny file: entry 1 would
    // run past the end.
    const Bytes bigTable = WithTable(InfoHeader(2, 1, 8, 0, 60000), Palette({kRed}));
    image = DecodeOk(WithFileHeader(bigTable, {0, 1}));
    ASSERT_TRUE(image);
    EXPECT_EQ(PixelOf(*image, 0, 0), kRed);
    EXPECT_EQ(PixelOf(*image, 1, 0), kBlack);
}

TEST(DibImage, RunLengthPictureKeepsItsDeclaredSize) {
    // Run-length bits may cover far more pixels than they take: an RLE8
    // picture of the largest size that ends at once is all black.
    const Bytes rle = WithFileHeader(
        WithTable(InfoHeader(kMaxImageSide, 5461, 8, 1, 1), Palette({kWhite})), {2, 0, 0, 1});
    auto image = DecodeOk(rle);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, kMaxImageSide);
    EXPECT_EQ(image->height, 5461);
    EXPECT_EQ(PixelOf(*image, 0, 0), kWhite);
    EXPECT_EQ(PixelOf(*image, 2, 0), kBlack);
    EXPECT_EQ(PixelOf(*image, kMaxImageSide - 1, 5460), kBlack);
}

TEST(DibImage, EveryTruncationOfValidFilesIsSafe) {
    const std::vector<Bytes> files = {
        Bmp24(3, 2, {{kRed, kGreen, kBlue}, {kWhite, kGrey, kRed}}),
        WithFileHeader(WithTable(InfoHeader(3, 2, 4, 0, 2), Palette({kRed, kBlue})),
                       {0x10, 0x10, 0, 0, 0x01, 0x01, 0, 0}),
        WithFileHeader(WithTable(InfoHeader(4, 2, 8, 1, 2), Palette({kRed, kBlue})),
                       {4, 1, 0, 0, 0, 4, 1, 0, 1, 0, 0, 1}),
        WithFileHeader(WithTable(InfoHeader(4, 2, 4, 2, 2), Palette({kRed, kBlue})),
                       {4, 0x10, 0, 0, 0, 4, 0x01, 0x10, 0, 1}),
        WithTable(CoreHeader(2, 2, 8), WithTable(Palette({kRed, kBlue}, true), {0, 1, 0, 0})),
    };
    for (const Bytes& file : files) {
        for (size_t n = 0; n <= file.size(); ++n) {
            std::unique_ptr<Image> image;
            const DibStatus status = Decode(Bytes(file.begin(), file.begin() + n), image);
            EXPECT_EQ(status == DibStatus::Ok, image != nullptr);
        }
    }
}

namespace {

// LoadDibImage's message for a file of the given bytes.
VirtualSystem::CapturedMessage MessageFor(const Bytes& bytes) {
    VirtualSystem sys;
    SetSys(&sys);
    TempFile file(bytes);
    EXPECT_FALSE(LoadDibImage(file.Path()));
    SetSys(nullptr);
    EXPECT_EQ(sys.messages.size(), 1u);
    return sys.messages.empty() ? VirtualSystem::CapturedMessage{} : sys.messages[0];
}

}  // namespace

TEST(LoadDibImage, ReadsAMappedFile) {
    VirtualSystem sys;
    SetSys(&sys);
    TempFile file(Bmp24(2, 1, {{kRed, kBlue}}));
    const std::unique_ptr<Image> image = LoadDibImage(file.Path());
    SetSys(nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(RowsOf(*image), (std::vector<std::vector<Rgb>>{{kRed, kBlue}}));
    EXPECT_TRUE(sys.messages.empty());
}

TEST(LoadDibImage, EachFailureShowsItsTextUnderError) {
    EXPECT_EQ(MessageFor(WithFileHeader(InfoHeader(1, 1, 24, 0, 0, 124), Bytes(4))).text,
              "Unknown DIB file format.");
    EXPECT_EQ(MessageFor(WithFileHeader(InfoHeader(1, 1, 32, 3), Bytes(16))).text,
              "Image file conversion error.");
    EXPECT_EQ(MessageFor(WithFileHeader(InfoHeader(kMaxImageSide, kMaxImageSide, 24), {})).text,
              "Out of memory.");
    // An empty file cannot be mapped.
    const auto empty = MessageFor({});
    EXPECT_EQ(empty.caption, "Error");
    EXPECT_EQ(empty.text.rfind("Failed to open DIB file ", 0), 0u);
}

TEST(LoadDibImage, MissingFileNamesTheFileWithinTheBuffer) {
    VirtualSystem sys;
    SetSys(&sys);
    EXPECT_FALSE(LoadDibImage("Shadow.missing.bmp"));
    const std::string longName(400, 'x');
    EXPECT_FALSE(LoadDibImage(longName.c_str()));
    SetSys(nullptr);
    ASSERT_EQ(sys.messages.size(), 2u);
    EXPECT_EQ(sys.messages[0].caption, "Error");
    EXPECT_EQ(sys.messages[0].text, "Failed to open DIB file Shadow.missing.bmp.\n");
    EXPECT_EQ(sys.messages[1].text.size(), 255u);  // cut to the 256-byte buffer
}

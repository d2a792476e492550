#include "image/DibImage.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <optional>

#include "image/DibConverter.h"
#include "image/ImageLimits.h"
#include "image/MappedFile.h"
#include "platform/Platform.h"

namespace {

// Little-endian fields that must lie wholly inside the file.
std::optional<uint32_t> ReadU32(std::span<const uint8_t> file, uint64_t at) {
    if (at + 4 > file.size()) {
        return std::nullopt;
    }
    const uint8_t* p = file.data() + at;
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

uint32_t ColorCountForBits(uint16_t bitCount) {
    switch (bitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

// Fills the copy from the header at h; answers the size of one
// colour-table entry (3 for the core form, 4 for the info form).
size_t ReadHeader(const uint8_t* h, uint32_t headerSize, DibWorkingCopy& dib) {
    if (headerSize == kDibCoreHeaderBytes) {
        dib.width = U16(h + 4);
        dib.height = U16(h + 6);
        dib.planes = U16(h + 8);
        dib.bitCount = U16(h + 10);
        return 3;
    }
    dib.width = static_cast<int32_t>(U32(h + 4));
    dib.height = static_cast<int32_t>(U32(h + 8));
    dib.planes = U16(h + 12);
    dib.bitCount = U16(h + 14);
    dib.compression = U32(h + 16);
    dib.sizeImage = U32(h + 20);
    dib.colorsUsed = U32(h + 32);
    return 4;
}

}  // namespace

DibStatus DecodeDibImage(std::span<const uint8_t> file, std::unique_ptr<Image>& image) {
    image.reset();
    // A file header locates the bits; a bare DIB has them after its colour table.
    uint64_t headerStart = 0;
    std::optional<uint64_t> bitsOffset;
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') {
        headerStart = kBmpFileHeaderBytes;
        const auto offset = ReadU32(file, 10);
        if (!offset) {
            return DibStatus::UnknownFormat;
        }
        bitsOffset = *offset;
    }
    const auto headerSize = ReadU32(file, headerStart);
    if (!headerSize || (*headerSize != kDibCoreHeaderBytes && *headerSize != kDibInfoHeaderBytes) ||
        headerStart + *headerSize > file.size()) {
        return DibStatus::UnknownFormat;
    }

    DibWorkingCopy dib;
    const size_t entrySize = ReadHeader(file.data() + headerStart, *headerSize, dib);
    const uint32_t used = dib.colorsUsed & 0xFFFF;
    const uint32_t count = used != 0 ? used : ColorCountForBits(dib.bitCount);
    // Colour entries are blue, green, red (and a spare byte in the info form).
    const uint64_t tableStart = headerStart + *headerSize;
    dib.colors.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = tableStart + uint64_t(i) * entrySize;
        if (at + entrySize > file.size()) {
            break;  // the rest of the table lies beyond the file: black
        }
        dib.colors[i] = Rgb{file[at + 2], file[at + 1], file[at]};
    }
    const uint64_t bitsStart = bitsOffset.value_or(tableStart + uint64_t(count) * entrySize);
    const std::span<const uint8_t> bits =
        bitsStart < file.size() ? file.subspan(size_t(bitsStart)) : std::span<const uint8_t>{};

    // Top-down files (negative height) are refused, as are sizes beyond the limit.
    if (dib.width <= 0 || dib.height <= 0 || dib.width > kMaxImageSide ||
        dib.height > kMaxImageSide || !DibFormatSupported(dib)) {
        return DibStatus::ConversionError;
    }
    const uint64_t bytes = uint64_t(dib.width) * uint64_t(dib.height) * 3;
    if (bytes > kMaxImageBytes) {
        return DibStatus::OutOfMemory;
    }
    // Uncompressed bits cannot hold more rows than the file has room for: the
    // picture is the rows the file holds (the last one may be cut short), so a
    // few header bytes cannot ask for a large block. Run-length bits can
    // legitimately cover far more pixels than they take; they keep the
    // declared size, and the zeroed block costs nothing where no run lands.
    if (dib.compression == kBiRgb) {
        const uint64_t stride = DibRowStride(dib);
        const uint64_t held = (bits.size() + stride - 1) / stride;
        if (held == 0) {
            return DibStatus::ConversionError;  // no row to convert
        }
        dib.height = static_cast<int32_t>(std::min<uint64_t>(held, uint64_t(dib.height)));
    }
    ZeroedBlock<uint8_t> pixels =
        AllocateZeroed<uint8_t>(size_t(dib.width) * size_t(dib.height) * 3);
    if (!pixels) {
        return DibStatus::OutOfMemory;
    }
    ConvertDibBits(dib, bits, pixels.get());

    std::unique_ptr<Image> record(new (std::nothrow) Image);
    if (!record) {
        return DibStatus::OutOfMemory;
    }
    record->width = dib.width;
    record->height = dib.height;
    record->data = std::move(pixels);
    image = std::move(record);
    return DibStatus::Ok;
}

std::unique_ptr<Image> LoadDibImage(const char* fileName) {
    MappedFile file;
    if (!file.Open(fileName)) {
        char text[256];
        std::snprintf(text, sizeof text, "Failed to open DIB file %s.\n", fileName);
        MessageBox(text, "Error");
        return nullptr;
    }
    std::unique_ptr<Image> image;
    switch (DecodeDibImage(file.Bytes(), image)) {
        case DibStatus::Ok:
            return image;
        case DibStatus::UnknownFormat:
            MessageBox("Unknown DIB file format.", "Error");
            break;
        case DibStatus::OutOfMemory:
            MessageBox("Out of memory.", "Error");
            break;
        case DibStatus::ConversionError:
            MessageBox("Image file conversion error.", "Error");
            break;
    }
    return nullptr;
}

#include "image/BmpImage.h"

#include <utility>
#include <vector>

#include "image/FileStream.h"
#include "image/ImageLimits.h"

namespace {

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

int32_t ReadI32(const uint8_t* p) {
    const uint32_t v =
        uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
    return static_cast<int32_t>(v);
}

bool SizeAllowed(int32_t w, int32_t h) {
    if (w < 0 || h < 0 || w > kMaxImageSide || h > kMaxImageSide) {
        return false;
    }
    return uint64_t(w) * uint64_t(h) * sizeof(Rgb) <= kMaxImageBytes;
}

}  // namespace

bool BmpImage::SetSize(int32_t w, int32_t h) {
    if (!SizeAllowed(w, h)) {
        return false;
    }
    const size_t count = size_t(w) * size_t(h);
    ZeroedBlock<Rgb> fresh = AllocateZeroed<Rgb>(count);
    if (!fresh) {
        return false;
    }
    width = w;
    height = h;
    pixels = std::move(fresh);
    pixelCount = count;
    return true;
}

Rgb& BmpImage::Pixel(int32_t x, int32_t y) {
    if (x < 0 || x >= width || y < 0 || y >= height) {
        return scratch;
    }
    return pixels[size_t(x) + size_t(y) * size_t(width)];
}

Rgb& BmpImage::At(int64_t i) {
    if (i < 0 || uint64_t(i) >= pixelCount) {
        return scratch;
    }
    return pixels[size_t(i)];
}

const Rgb* BmpImage::PixelBlock() const {
    return width > 0 && height > 0 ? pixels.get() : &scratch;
}

bool BmpImage::Load(const char* fileName) {
    FileStream stream;
    if (!stream.Open(fileName, "rb")) {
        return false;
    }
    return LoadFromStream(stream.Get());
}

bool BmpImage::LoadFromStream(FILE* stream) {
    uint8_t header[kBmpFileHeaderBytes + kBmpInfoHeaderBytes];
    if (std::fread(header, 1, kBmpFileHeaderBytes, stream) != kBmpFileHeaderBytes ||
        std::fread(header + kBmpFileHeaderBytes, 1, kBmpInfoHeaderBytes, stream) !=
            kBmpInfoHeaderBytes) {
        return false;
    }
    if (ReadU16(header) != 0x4D42 || ReadU16(header + 28) != 24) {
        return false;
    }
    const int32_t fileWidth = ReadI32(header + 18);
    const int32_t fileHeight = ReadI32(header + 22);
    // A negative height marks a top-down file: its first row is the top.
    const bool topDown = fileHeight < 0;
    if (fileWidth < 0 || fileHeight < -kMaxImageSide) {
        return false;
    }
    const int32_t rows = topDown ? -fileHeight : fileHeight;
    if (!SetSize(fileWidth, rows)) {
        return false;
    }
    if (pixelCount == 0) {
        return true;  // a width or height of 0: an empty picture, nothing to read
    }

    // The rows follow the two headers directly, each padded to 4 bytes.
    const size_t stride = (size_t(3) * size_t(width) + 3) & ~size_t{3};
    std::vector<uint8_t> row(stride);
    for (int32_t k = 0; k < rows; ++k) {
        if (std::fread(row.data(), 1, stride, stream) != stride) {
            break;  // a short file leaves the remaining rows black
        }
        const int32_t y = topDown ? k : rows - 1 - k;
        Rgb* out = &pixels[size_t(y) * size_t(width)];
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* bgr = &row[size_t(3) * size_t(x)];
            out[x] = Rgb{bgr[2], bgr[1], bgr[0]};
        }
    }
    return true;
}

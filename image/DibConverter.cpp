#include "image/DibConverter.h"

#include <algorithm>

namespace {

const Rgb kBlack{};

class RgbWriter {
  public:
    RgbWriter(const DibWorkingCopy& dib, uint8_t* rgb) : dib(dib), rgb(rgb) {}

    void Put(size_t offset, const Rgb& c) const {
        rgb[offset] = c.r;
        rgb[offset + 1] = c.g;
        rgb[offset + 2] = c.b;
    }
    const Rgb& Color(uint32_t index) const {
        return index < dib.colors.size() ? dib.colors[index] : kBlack;
    }
    // Offset of pixel (x, y) in the output; the caller keeps x and y inside.
    size_t Offset(int64_t x, int64_t y) const {
        return (size_t(y) * size_t(dib.width) + size_t(x)) * 3;
    }

  private:
    const DibWorkingCopy& dib;
    uint8_t* rgb;
};

uint8_t Expand5(uint32_t v) {
    return static_cast<uint8_t>((v << 3) | (v >> 2));
}

// One row of uncompressed bits; n is how many of its pixels the file holds.
void ConvertRow(const DibWorkingCopy& dib, const RgbWriter& out, const uint8_t* src, int32_t n,
                int32_t y) {
    const size_t o = out.Offset(0, y);
    switch (dib.bitCount) {
        case 1:
            for (int32_t x = 0; x < n; ++x) {
                out.Put(o + 3 * size_t(x), out.Color((src[x >> 3] >> (7 - (x & 7))) & 1));
            }
            break;
        case 4:
            for (int32_t x = 0; x < n; ++x) {
                const uint8_t b = src[x >> 1];
                out.Put(o + 3 * size_t(x), out.Color((x & 1) ? (b & 0x0F) : (b >> 4)));
            }
            break;
        case 8:
            for (int32_t x = 0; x < n; ++x) {
                out.Put(o + 3 * size_t(x), out.Color(src[x]));
            }
            break;
        case 16:
            for (int32_t x = 0; x < n; ++x) {
                const uint32_t v = src[2 * x] | (uint32_t{src[2 * x + 1]} << 8);
                out.Put(o + 3 * size_t(x),
                        Rgb{Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31)});
            }
            break;
        case 24:
        case 32: {
            const int step = dib.bitCount / 8;
            for (int32_t x = 0; x < n; ++x, src += step) {
                out.Put(o + 3 * size_t(x), Rgb{src[2], src[1], src[0]});
            }
            break;
        }
    }
}

void ConvertUncompressed(const DibWorkingCopy& dib, std::span<const uint8_t> bits,
                         const RgbWriter& out) {
    const uint64_t stride = DibRowStride(dib);
    for (int32_t y = 0; y < dib.height; ++y) {
        const uint64_t start = uint64_t(y) * stride;
        if (start >= bits.size()) {
            break;
        }
        const uint64_t available = std::min<uint64_t>(stride, bits.size() - start);
        const auto n = static_cast<int32_t>(
            std::min<uint64_t>(uint64_t(dib.width), available * 8 / dib.bitCount));
        ConvertRow(dib, out, bits.data() + start, n, y);
    }
}

// Run-length bits: pairs of (count, value), or escapes after a zero count.
// Lines run from row 0 up in file order.
void ConvertRle(const DibWorkingCopy& dib, std::span<const uint8_t> bits, const RgbWriter& out) {
    const bool four = dib.compression == kBiRle4;
    const int64_t width = dib.width;
    const int64_t height = dib.height;
    int64_t x = 0;
    int64_t y = 0;
    auto put = [&](uint32_t index) {
        if (x < width) {
            out.Put(out.Offset(x, y), out.Color(index));
        }
        ++x;
    };
    size_t pos = 0;
    while (y < height && pos + 2 <= bits.size()) {
        const uint8_t count = bits[pos];
        const uint8_t value = bits[pos + 1];
        pos += 2;
        if (count > 0) {
            // Encoded run: one index (RLE8) or two alternating nibbles (RLE4).
            for (int i = 0; i < count && x < width; ++i) {
                put(!four ? value : (i & 1) ? (value & 0x0F) : (value >> 4));
            }
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta: move right and up
            if (pos + 2 > bits.size()) {
                break;
            }
            x += bits[pos];
            y += bits[pos + 1];
            pos += 2;
        } else {  // absolute run of `value` pixels, padded to an even byte count
            const size_t bytes = four ? (size_t(value) + 1) / 2 : value;
            for (int i = 0; i < value && x < width; ++i) {
                const size_t at = pos + (four ? size_t(i) / 2 : size_t(i));
                if (at >= bits.size()) {
                    break;
                }
                const uint8_t b = bits[at];
                put(!four ? b : (i & 1) ? (b & 0x0F) : (b >> 4));
            }
            pos += (bytes + 1) & ~size_t{1};
        }
    }
}

}  // namespace

bool DibFormatSupported(const DibWorkingCopy& dib) {
    switch (dib.compression) {
        case kBiRgb:
            return dib.bitCount == 1 || dib.bitCount == 4 || dib.bitCount == 8 ||
                   dib.bitCount == 16 || dib.bitCount == 24 || dib.bitCount == 32;
        case kBiRle8:
            return dib.bitCount == 8;
        case kBiRle4:
            return dib.bitCount == 4;
        default:  // bit-field masks and embedded JPEG or PNG are not read
            return false;
    }
}

uint64_t DibRowStride(const DibWorkingCopy& dib) {
    return (uint64_t(dib.width) * dib.bitCount + 31) / 32 * 4;
}

void ConvertDibBits(const DibWorkingCopy& dib, std::span<const uint8_t> bits, uint8_t* rgb) {
    if (dib.width <= 0 || dib.height <= 0 || !DibFormatSupported(dib)) {
        return;
    }
    const RgbWriter out(dib, rgb);
    if (dib.compression == kBiRgb) {
        ConvertUncompressed(dib, bits, out);
    } else {
        ConvertRle(dib, bits, out);
    }
}

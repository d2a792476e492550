#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/PngWriter.h"

// The PNG writer read back by a decoder of the test's own: every chunk's
// CRC, the zlib stream, the five row filters undone, and the pixels
// compared with what was written.

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

struct Decoded {
    int width = 0;
    int height = 0;
    Bytes rgb;
    std::string error;  // empty when the file is a good 8-bit RGB PNG
};

Decoded DecodePng(const Bytes& file) {
    Decoded d;
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) {
        d.error = "no PNG signature";
        return d;
    }
    Bytes idat;
    bool ended = false;
    for (size_t pos = 8; pos < file.size() && !ended;) {
        if (file.size() - pos < 12 || Be32(&file[pos]) > file.size() - pos - 12) {
            d.error = "chunk cut short";
            return d;
        }
        const uint32_t length = Be32(&file[pos]);
        const uint8_t* type = &file[pos + 4];
        const uint8_t* data = type + 4;
        if (crc32(0, type, 4 + length) != Be32(data + length)) {
            d.error = "bad CRC in " + std::string(reinterpret_cast<const char*>(type), 4);
            return d;
        }
        if (std::memcmp(type, "IHDR", 4) == 0) {
            d.width = static_cast<int>(Be32(data));
            d.height = static_cast<int>(Be32(data + 4));
            if (length != 13 || data[8] != 8 || data[9] != 2 || data[12] != 0) {
                d.error = "not 8-bit RGB without interlace";
                return d;
            }
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            idat.insert(idat.end(), data, data + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
        }
        pos += 12 + length;
    }
    if (!ended || d.width <= 0 || d.height <= 0) {
        d.error = "no IEND or no IHDR";
        return d;
    }
    const size_t row = static_cast<size_t>(d.width) * 3;
    Bytes raw((row + 1) * static_cast<size_t>(d.height) + 1);  // one spare: too much data shows
    uLongf rawSize = raw.size();
    if (uncompress(raw.data(), &rawSize, idat.data(), idat.size()) != Z_OK ||
        rawSize != raw.size() - 1) {
        d.error = "zlib stream broken or of the wrong size";
        return d;
    }
    d.rgb.resize(row * static_cast<size_t>(d.height));
    for (size_t y = 0; y < static_cast<size_t>(d.height); ++y) {
        const uint8_t filter = raw[y * (row + 1)];
        const uint8_t* in = &raw[y * (row + 1) + 1];
        uint8_t* out = &d.rgb[y * row];
        const uint8_t* up = y > 0 ? out - row : nullptr;
        for (size_t i = 0; i < row; ++i) {
            const int a = i >= 3 ? out[i - 3] : 0;
            const int b = up != nullptr ? up[i] : 0;
            const int c = up != nullptr && i >= 3 ? up[i - 3] : 0;
            int predicted = 0;
            switch (filter) {
                case 0:
                    break;
                case 1:
                    predicted = a;
                    break;
                case 2:
                    predicted = b;
                    break;
                case 3:
                    predicted = (a + b) / 2;
                    break;
                case 4: {
                    const int p = a + b - c;
                    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    predicted = pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
                    break;
                }
                default:
                    d.error = "unknown filter " + std::to_string(filter);
                    return d;
            }
            out[i] = static_cast<uint8_t>(in[i] + predicted);
        }
    }
    return d;
}

Bytes ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Picture {
    const char* name;
    int width;
    int height;
    uint8_t (*value)(int x, int y, int channel);
    size_t maxFileBytes;  // what a working compressor stays under
};

// Noise, smooth ramps and hard edges: each row filter wins somewhere.
uint8_t Noise(int x, int y, int c) {
    uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ uint32_t(c) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return static_cast<uint8_t>(h >> 15);
}
uint8_t Ramps(int x, int y, int c) {
    return static_cast<uint8_t>(c == 0 ? x * 3 : c == 1 ? y * 5 : (x + y) * 2);
}
uint8_t Edges(int x, int y, int c) {
    return static_cast<uint8_t>(((x / 7 + y / 5) % 2 != 0 ? 250 : 5) - c * 40 + (x == y ? 1 : 0));
}
uint8_t Flat(int, int, int c) {
    return static_cast<uint8_t>(40 + c);
}

}  // namespace

TEST(PngWriter, WritesEveryPixelExactlyAndCompresses) {
    const Picture pictures[] = {
        {"one pixel", 1, 1, Noise, 100},
        {"noise", 97, 61, Noise, 97 * 61 * 3 + 400},
        {"ramps", 300, 200, Ramps, 300 * 200 * 3 / 5},
        {"edges", 123, 77, Edges, 123 * 77 * 3 / 8},
        {"flat 640 x 480", 640, 480, Flat, 4000},
    };
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "quorvax_png_test.png";
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.name);
        Bytes rgb;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    rgb.push_back(p.value(x, y, c));
                }
            }
        }
        ASSERT_TRUE(WritePng(path.string(), rgb.data(), p.width, p.height));
        const Bytes file = ReadAll(path);
        const Decoded d = DecodePng(file);
        ASSERT_EQ(d.error, "");
        EXPECT_EQ(d.width, p.width);
        EXPECT_EQ(d.height, p.height);
        EXPECT_TRUE(d.rgb == rgb);
        EXPECT_LE(file.size(), p.maxFileBytes);
    }
    std::filesystem::remove(path);
    // Nothing to write, or nowhere to write it.
    const uint8_t pixel[3] = {};
    EXPECT_FALSE(WritePng(path.string(), pixel, 0, 1));
    EXPECT_FALSE(WritePng(path.string(), nullptr, 1, 1));
    EXPECT_FALSE(WritePng((path / "no" / "such.png").string(), pixel, 1, 1));
}

#pragma once

// Small picture files built in memory for the image reader tests.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "image/Rgb.h"

namespace image_files {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}
inline void Set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = uint8_t(v >> (8 * i));
    }
}

inline Bytes FileHeader(uint32_t fileSize, uint32_t bitsOffset) {
    Bytes b{'B', 'M'};
    Put32(b, fileSize);
    Put32(b, 0);
    Put32(b, bitsOffset);
    return b;
}

// A 40-byte info header; headerSize lets a test claim 108 or 124 bytes.
inline Bytes InfoHeader(int32_t w, int32_t h, uint16_t bitCount, uint32_t compression = 0,
                        uint32_t colorsUsed = 0, uint32_t headerSize = 40) {
    Bytes b;
    Put32(b, headerSize);
    Put32(b, uint32_t(w));
    Put32(b, uint32_t(h));
    Put16(b, 1);
    Put16(b, bitCount);
    Put32(b, compression);
    Put32(b, 0);  // image size
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, colorsUsed);
    Put32(b, 0);
    b.resize(headerSize, 0);
    return b;
}

inline Bytes CoreHeader(uint16_t w, uint16_t h, uint16_t bitCount) {
    Bytes b;
    Put32(b, 12);
    Put16(b, w);
    Put16(b, h);
    Put16(b, 1);
    Put16(b, bitCount);
    return b;
}

// Colour table entries: blue, green, red (and a zero byte unless core).
inline Bytes Palette(std::initializer_list<Rgb> colors, bool core = false) {
    Bytes b;
    for (const Rgb& c : colors) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        if (!core) {
            b.push_back(0);
        }
    }
    return b;
}

// A whole file: "BM" header, the given header and table, then the bits.
inline Bytes WithFileHeader(const Bytes& headerAndTable, const Bytes& bits) {
    const auto offset = uint32_t(14 + headerAndTable.size());
    Bytes b = FileHeader(uint32_t(offset + bits.size()), offset);
    Append(b, headerAndTable);
    Append(b, bits);
    return b;
}

// 24-bit rows as stored, each row of pixels padded to 4 bytes.
inline Bytes Rows24(const std::vector<std::vector<Rgb>>& rows) {
    Bytes b;
    for (const auto& row : rows) {
        for (const Rgb& c : row) {
            b.push_back(c.b);
            b.push_back(c.g);
            b.push_back(c.r);
        }
        while (b.size() % 4 != 0) {
            b.push_back(0);
        }
    }
    return b;
}

// An uncompressed 24-bit BMP; rows are given in file order.
inline Bytes Bmp24(int32_t w, int32_t h, const std::vector<std::vector<Rgb>>& rows) {
    return WithFileHeader(InfoHeader(w, h, 24), Rows24(rows));
}

// Encodes width x height samples of `components` bytes each, at quality 100.
inline Bytes EncodeJpeg(int width, int height, int components, J_COLOR_SPACE space,
                        const Bytes& samples, bool progressive = false) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, space);
    jpeg_set_quality(&cinfo, 100, TRUE);
    if (progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPLE*>(&samples[size_t(cinfo.next_scanline) * width * components]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes jpeg(out, out + size);
    std::free(out);
    return jpeg;
}

// A file in the temporary directory, removed when the test ends.
class TempFile {
  public:
    explicit TempFile(const Bytes& bytes) {
        const char* dir = std::getenv("TMPDIR");
        path = std::string(dir != nullptr ? dir : "/tmp") + "/quorvax_image_XXXXXX";
        const int fd = mkstemp(path.data());
        if (fd >= 0) {
            if (!bytes.empty()) {
                [[maybe_unused]] const ssize_t n = write(fd, bytes.data(), bytes.size());
            }
            close(fd);
        }
    }
    ~TempFile() { std::remove(path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* Path() const { return path.c_str(); }

  private:
    std::string path;
};

}  // namespace image_files

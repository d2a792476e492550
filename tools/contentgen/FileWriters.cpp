#include "tools/contentgen/FileWriters.h"

#include <cstdio>
#include <memory>

// jpeglib.h needs FILE declared first.
#include <jpeglib.h>

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

int FileRow(int k, int height, RowOrder order) {
    return order == RowOrder::FirstRowIsCanvasRow0 ? k : height - 1 - k;
}

}  // namespace

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 255);
    out.push_back((v >> 8) & 255);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
        std::perror(path.c_str());
        return false;
    }
    return std::fclose(f.release()) == 0;
}

bool WriteBmp24(const std::string& path, const Canvas& c, RowOrder order) {
    const uint32_t stride = (3 * c.Width() + 3) & ~3u;
    const uint32_t imageSize = stride * c.Height();
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, c.Width());
    Put32(out, c.Height());
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int k = 0; k < c.Height(); ++k) {
        const int y = FileRow(k, c.Height(), order);
        for (int x = 0; x < c.Width(); ++x) {
            const Rgb& p = c.At(x, y);
            out.push_back(ToByte(p.b));
            out.push_back(ToByte(p.g));
            out.push_back(ToByte(p.r));
        }
        out.resize(out.size() + (stride - 3 * c.Width()), 0);
    }
    return WriteFile(path, out);
}

bool WriteBmp8GreyCore(const std::string& path, const Canvas& c, RowOrder order) {
    const uint32_t stride = (c.Width() + 3) & ~3u;
    const uint32_t bitsOffset = 14 + 12 + 256 * 3;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, bitsOffset + stride * c.Height());
    Put32(out, 0);
    Put32(out, bitsOffset);
    Put32(out, 12);
    Put16(out, c.Width());
    Put16(out, c.Height());
    Put16(out, 1);
    Put16(out, 8);
    for (int i = 0; i < 256; ++i) {
        out.insert(out.end(),
                   {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)});
    }
    for (int k = 0; k < c.Height(); ++k) {
        const int y = FileRow(k, c.Height(), order);
        for (int x = 0; x < c.Width(); ++x) {
            out.push_back(ToByte(c.At(x, y).r));
        }
        out.resize(out.size() + (stride - c.Width()), 0);
    }
    return WriteFile(path, out);
}

bool WriteJpeg(const std::string& path, const Canvas& c, int quality) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f.get());
    cinfo.image_width = c.Width();
    cinfo.image_height = c.Height();
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    const std::vector<uint8_t> bytes = c.ToBytes();
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(&bytes[static_cast<size_t>(cinfo.next_scanline) * c.Width() * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f.release()) == 0;
}

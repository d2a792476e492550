#include "platform/FontGlyphs.h"

#include <fstream>
#include <iterator>

namespace {

constexpr int kMaxSide = 256;

class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Take(size_t n, const uint8_t*& out) {
        if (size_ - at_ < n) {
            return false;
        }
        out = data_ + at_;
        at_ += n;
        return true;
    }
    bool U16(int& out) {
        const uint8_t* p = nullptr;
        if (!Take(2, p)) {
            return false;
        }
        out = p[0] | (p[1] << 8);
        return true;
    }
    bool I16(int& out) {
        if (!U16(out)) {
            return false;
        }
        if (out >= 0x8000) {
            out -= 0x10000;
        }
        return true;
    }
    bool AtEnd() const { return at_ == size_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

void Put16(std::vector<uint8_t>& out, int v) {
    out.push_back(static_cast<uint8_t>(v & 0xff));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
}

}  // namespace

bool ParseFontGlyphs(const uint8_t* data, size_t size, std::vector<FontGlyph>& out,
                     std::string& error) {
    out.clear();
    Reader in(data, data == nullptr ? 0 : size);
    const uint8_t* magic = nullptr;
    if (!in.Take(5, magic) || std::string(reinterpret_cast<const char*>(magic), 4) != "QVXG" ||
        magic[4] != 1) {
        error = "not a glyph file of version 1";
        return false;
    }
    int count = 0;
    if (!in.U16(count) || count > 256) {
        error = "bad glyph count";
        return false;
    }
    std::vector<FontGlyph> glyphs(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        FontGlyph& g = glyphs[static_cast<size_t>(i)];
        if (!in.U16(g.width) || !in.U16(g.rows) || !in.I16(g.left) || !in.I16(g.top) ||
            !in.I16(g.advance)) {
            error = "glyph " + std::to_string(i) + " is cut short";
            return false;
        }
        if (g.width > kMaxSide || g.rows > kMaxSide) {
            error = "glyph " + std::to_string(i) + " is too large";
            return false;
        }
        const size_t n = static_cast<size_t>(g.width) * static_cast<size_t>(g.rows);
        const uint8_t* bits = nullptr;
        if (!in.Take(n, bits)) {
            error = "glyph " + std::to_string(i) + "'s bitmap is cut short";
            return false;
        }
        g.coverage.assign(bits, bits + n);
    }
    if (!in.AtEnd()) {
        error = "bytes after the last glyph";
        return false;
    }
    out = std::move(glyphs);
    return true;
}

std::vector<uint8_t> SerializeFontGlyphs(const std::vector<FontGlyph>& glyphs) {
    std::vector<uint8_t> out = {'Q', 'V', 'X', 'G', 1};
    Put16(out, static_cast<int>(glyphs.size()));
    for (const FontGlyph& g : glyphs) {
        Put16(out, g.width);
        Put16(out, g.rows);
        Put16(out, g.left);
        Put16(out, g.top);
        Put16(out, g.advance);
        const size_t n = static_cast<size_t>(g.width) * static_cast<size_t>(g.rows);
        for (size_t k = 0; k < n; ++k) {
            out.push_back(k < g.coverage.size() ? g.coverage[k] : 0);
        }
    }
    return out;
}

bool ReadFontGlyphsFile(const char* path, std::vector<FontGlyph>& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::string("cannot read ") + path;
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    return ParseFontGlyphs(bytes.data(), bytes.size(), out, error);
}

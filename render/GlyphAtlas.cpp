#include "render/GlyphAtlas.h"

#include <algorithm>

namespace {

constexpr int kMaxSide = 256;
constexpr int kAtlasWidth = 512;

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

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) {
        p *= 2;
    }
    return p;
}

}  // namespace

bool GlyphAtlas::Parse(const uint8_t* data, size_t size, std::vector<FontGlyph>& out,
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

bool GlyphAtlas::Load(const uint8_t* data, size_t size, std::string& error) {
    std::vector<FontGlyph> glyphs;
    if (!Parse(data, size, glyphs, error)) {
        glyphs_.clear();
        pixels_.clear();
        width_ = height_ = 0;
        return false;
    }
    return Load(glyphs);
}

bool GlyphAtlas::Load(const std::vector<FontGlyph>& source) {
    glyphs_.clear();
    pixels_.clear();
    width_ = height_ = 0;
    if (source.size() > 256) {
        return false;
    }
    for (const FontGlyph& g : source) {
        if (g.width < 0 || g.rows < 0 || g.width > kMaxSide || g.rows > kMaxSide ||
            g.coverage.size() < static_cast<size_t>(g.width) * static_cast<size_t>(g.rows)) {
            return false;
        }
    }
    // Shelves left to right, a spare pixel around each bitmap so that
    // neighbours never bleed into each other.
    std::vector<Glyph> glyphs(source.size());
    int x = 1, y = 1, shelf = 0;
    for (size_t i = 0; i < source.size(); ++i) {
        const FontGlyph& f = source[i];
        Glyph& g = glyphs[i];
        g = Glyph{f.width, f.rows, f.left, f.top, f.advance, 0, 0};
        if (x + g.width + 1 > kAtlasWidth) {
            x = 1;
            y += shelf + 1;
            shelf = 0;
        }
        g.atlasX = x;
        g.atlasY = y;
        x += g.width + 1;
        shelf = std::max(shelf, g.rows);
    }
    width_ = kAtlasWidth;
    height_ = PowerOfTwoAtLeast(y + shelf + 1);
    pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Glyph& g = glyphs[i];
        for (int r = 0; r < g.rows; ++r) {
            for (int c = 0; c < g.width; ++c) {
                const uint8_t v = source[i].coverage[static_cast<size_t>(r) * g.width + c];
                pixels_[static_cast<size_t>(g.atlasY + r) * width_ + g.atlasX + c] =
                    v >= 128 ? 255 : 0;
            }
        }
    }
    glyphs_ = std::move(glyphs);
    return true;
}

std::vector<uint8_t> GlyphAtlas::Serialize(const std::vector<FontGlyph>& glyphs) {
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

const GlyphAtlas::Glyph& GlyphAtlas::Of(uint8_t byte) const {
    static const Glyph kNone;
    return byte < 255 && byte < glyphs_.size() ? glyphs_[byte] : kNone;
}

#include "render/GlyphAtlas.h"

#include <algorithm>

namespace {

constexpr int kMaxSide = 256;
constexpr int kAtlasWidth = 512;

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) {
        p *= 2;
    }
    return p;
}

}  // namespace

bool GlyphAtlas::Load(const uint8_t* data, size_t size, std::string& error) {
    std::vector<FontGlyph> glyphs;
    if (!ParseFontGlyphs(data, size, glyphs, error)) {
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

const GlyphAtlas::Glyph& GlyphAtlas::Of(uint8_t byte) const {
    static const Glyph kNone;
    return byte < 255 && byte < glyphs_.size() ? glyphs_[byte] : kNone;
}

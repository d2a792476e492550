#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FontGlyphs.h"

// The game's font as one alpha picture for drawing text as textured quads:
// the glyph bitmaps of bytes 0..254 (Windows-1252) with their placement and
// advances, as the desktop's bitmap font draws them (a pixel is set where
// the coverage is at least 128).
//
// The glyphs come from the font (Linux) or as bytes in the layout of
// platform/FontGlyphs.h (a file baked at build time for the browser).
class GlyphAtlas {
  public:
    struct Glyph {
        int width = 0;
        int rows = 0;
        int left = 0;     // pen position to the bitmap's left edge
        int top = 0;      // baseline up to the bitmap's top edge
        int advance = 0;  // pen movement after the glyph
        int atlasX = 0;   // the bitmap's place in the picture, row 0 at atlasY
        int atlasY = 0;
    };

    // Gles2Renderer::CreateFontLists: places the glyphs into one picture
    // whose sides are powers of two. False (the atlas left empty) when a
    // glyph is larger than 256 pixels or its coverage is short.
    bool Load(const std::vector<FontGlyph>& glyphs);
    // The same from bytes; false with a reason when a size field or the length is wrong.
    bool Load(const uint8_t* data, size_t size, std::string& error);

    // The glyph of a byte; byte 255 and bytes past the count draw nothing.
    const Glyph& Of(uint8_t byte) const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Width * Height alpha bytes, 0 or 255, row 0 first.
    const std::vector<uint8_t>& Pixels() const { return pixels_; }

  private:
    std::vector<Glyph> glyphs_;
    std::vector<uint8_t> pixels_;
    int width_ = 0;
    int height_ = 0;
};

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One glyph of the game's bitmap font: its coverage bitmap (width * rows
// bytes, 0..255, row 0 at the top), where it sits against the pen and how
// far it moves the pen.
struct FontGlyph {
    int width = 0;
    int rows = 0;
    int left = 0;  // pen position to the bitmap's left edge
    int top = 0;   // baseline up to the bitmap's top edge
    int advance = 0;
    std::vector<uint8_t> coverage;
};

// The glyphs of bytes 0..254 (Windows-1252; control codes empty) of the
// face at a character cell height and weight, as the desktop's font lists
// have them. The OpenGL ES renderer's text and the build-time baking tool
// call it; on Linux FreeType draws them. False, after a line on stderr,
// when no usable font was found.
bool RasterFontGlyphs(const char* face, int cellHeight, int weight, std::vector<FontGlyph>& out);

// The glyphs as bytes, all little-endian: "QVXG", version 1 (one byte),
// glyph count (uint16, at most 256), then per glyph: width, rows (uint16
// each, at most 256), left, top, advance (int16 each), and width * rows
// coverage bytes, row 0 at the top. tools/glyphbake writes the desktop's
// font so into "font.glyphs" for the browser, whose RasterFontGlyphs reads
// it back with ReadFontGlyphsFile.
std::vector<uint8_t> SerializeFontGlyphs(const std::vector<FontGlyph>& glyphs);
// False with a reason when a size field, the count or the length is wrong.
bool ParseFontGlyphs(const uint8_t* data, size_t size, std::vector<FontGlyph>& out,
                     std::string& error);
bool ReadFontGlyphsFile(const char* path, std::vector<FontGlyph>& out, std::string& error);

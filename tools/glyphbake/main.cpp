// quorvax-glyphbake OUT: writes the game's font (bold "Arial" at a 30-pixel
// cell, as the desktop finds it through fontconfig) as glyph bytes for the
// browser, which has no FreeType: platform/FontGlyphs.h says the layout.
#include <cstdio>
#include <vector>

#include "platform/FontGlyphs.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvax-glyphbake OUT\n");
        return 2;
    }
    std::vector<FontGlyph> glyphs;
    if (!RasterFontGlyphs("Arial", 30, 700, glyphs)) {
        return 1;
    }
    const std::vector<uint8_t> bytes = SerializeFontGlyphs(glyphs);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "quorvax-glyphbake: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "quorvax-glyphbake: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

#include "platform/FontGlyphs.h"

#include <cstdio>
#include <string>

// No FreeType here: the font comes as the glyphs baked at build time
// (quorvax-glyphbake) into "font.glyphs" beside the game's other files.
bool RasterFontGlyphs(const char* /*face*/, int /*cellHeight*/, int /*weight*/,
                      std::vector<FontGlyph>& out) {
    std::string error;
    if (!ReadFontGlyphsFile("font.glyphs", out, error)) {
        std::fprintf(stderr, "quorvax: %s; text is not drawn\n", error.c_str());
        return false;
    }
    return true;
}

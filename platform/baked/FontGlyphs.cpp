#include "platform/FontGlyphs.h"

#include <cstdio>
#include <string>

// The browser's page and the node replay tool have no FreeType: the font
// comes as the glyphs baked at build time (quorvax-glyphbake) into
// "font.glyphs" among the game's files.
bool RasterFontGlyphs(const char* /*face*/, int /*cellHeight*/, int /*weight*/,
                      std::vector<FontGlyph>& out) {
    std::string error;
    if (!ReadFontGlyphsFile("font.glyphs", out, error)) {
        std::fprintf(stderr, "quorvax: %s; text is not drawn\n", error.c_str());
        return false;
    }
    return true;
}

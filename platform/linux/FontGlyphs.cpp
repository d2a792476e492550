#include "platform/FontGlyphs.h"

#include <cstdio>

#include "platform/Cp1252.h"
#include "platform/linux/FontRaster.h"

bool RasterFontGlyphs(const char* face, int cellHeight, int weight, std::vector<FontGlyph>& out) {
    out.clear();
    FontRaster font;
    if (!font.Open(face, weight, cellHeight)) {
        std::fprintf(stderr,
                     "quorvax: no font found for \"%s\" (nor DejaVu Sans) through fontconfig; "
                     "text is not drawn\n",
                     face);
        return false;
    }
    out.resize(255);
    for (unsigned c = 0; c < 255; ++c) {
        const char32_t cp = Cp1252ToUnicode(static_cast<uint8_t>(c));
        FontRaster::Glyph glyph;
        if (!IsControlCodePoint(cp)) {
            font.Render(cp, glyph);
        }
        out[c] = FontGlyph{glyph.width, glyph.rows,    glyph.left,
                           glyph.top,   glyph.advance, std::move(glyph.coverage)};
    }
    return true;
}

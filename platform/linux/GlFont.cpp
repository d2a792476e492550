#include "platform/GlFont.h"

#include <GL/gl.h>

#include <cstdio>
#include <vector>

#include "platform/Cp1252.h"
#include "platform/linux/FontRaster.h"

namespace {

// Packs the coverage bitmap into glBitmap's layout: one bit per pixel, most
// significant bit first, rows from the bottom up, rows padded to bytes.
std::vector<GLubyte> ToBitmapBits(const FontRaster::Glyph& g) {
    const int stride = (g.width + 7) / 8;
    std::vector<GLubyte> bits(static_cast<size_t>(stride) * g.rows, 0);
    for (int y = 0; y < g.rows; ++y) {
        GLubyte* row = bits.data() + static_cast<size_t>(g.rows - 1 - y) * stride;
        for (int x = 0; x < g.width; ++x) {
            if (g.coverage[static_cast<size_t>(y) * g.width + x] >= 128) {
                row[x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
            }
        }
    }
    return bits;
}

}  // namespace

bool BuildGlFontLists(const char* face, int cellHeight, int weight, unsigned listBase) {
    FontRaster font;
    if (!font.Open(face, weight, cellHeight)) {
        std::fprintf(stderr,
                     "quorvax: no font found for \"%s\" (nor DejaVu Sans) through fontconfig; "
                     "text is not drawn\n",
                     face);
        return false;
    }

    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);

    for (unsigned c = 0; c < 255; ++c) {
        const char32_t cp = Cp1252ToUnicode(static_cast<uint8_t>(c));
        FontRaster::Glyph glyph;
        if (!IsControlCodePoint(cp)) {
            font.Render(cp, glyph);
        }
        const std::vector<GLubyte> bits = ToBitmapBits(glyph);
        // The bitmap's lower-left pixel sits at (left, top - rows) from the pen.
        // Mesa refuses to compile a glBitmap without data, even an empty one.
        static const GLubyte kNoBits = 0;
        glNewList(listBase + c, GL_COMPILE);
        glBitmap(glyph.width, glyph.rows, static_cast<GLfloat>(-glyph.left),
                 static_cast<GLfloat>(glyph.rows - glyph.top), static_cast<GLfloat>(glyph.advance),
                 0.0f, bits.empty() ? &kNoBits : bits.data());
        glEndList();
    }
    // Byte 255 has no glyph. Its list exists but is empty, so the number is
    // never handed out by glGenLists and the byte really draws nothing.
    glNewList(listBase + 255, GL_COMPILE);
    glEndList();

    glPopClientAttrib();
    return true;
}

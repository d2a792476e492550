// WebGL has no display lists nor glBitmap: the browser's drawing has fonts
// of its own.
#include "platform/GlFont.h"

#include <cstdio>

bool BuildGlFontLists(const char* face, int /*cellHeight*/, int /*weight*/, unsigned /*listBase*/) {
    std::fprintf(stderr, "quorvax: no bitmap font \"%s\" in the browser\n", face);
    return false;
}

#include "platform/GlFont.h"

#include <cstdio>

bool BuildGlFontLists(const char* face, int cellHeight, int weight, unsigned listBase) {
    (void)cellHeight;
    (void)weight;
    (void)listBase;
    std::fprintf(stderr, "quorvax: no font for \"%s\" yet; text is not drawn\n", face);
    return false;
}

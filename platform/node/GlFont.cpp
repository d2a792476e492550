#include <cstdio>

#include "platform/GlFont.h"

bool BuildGlFontLists(const char* /*face*/, int /*cellHeight*/, int /*weight*/,
                      unsigned /*listBase*/) {
    std::fprintf(stderr, "quorvax: no fonts under node: the replay tool draws nothing here\n");
    return false;
}

#include "platform/System.h"

#include <cstdio>
#include <cstdlib>

namespace {
System* g_system = nullptr;
}

System& Sys() {
    if (g_system == nullptr) {
        std::fprintf(stderr, "quorvax: no platform system set\n");
        std::abort();
    }
    return *g_system;
}

void SetSys(System* system) {
    g_system = system;
}

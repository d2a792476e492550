#include "world/Random.h"

#include <cstdint>

namespace {
uint32_t g_state = 1;
}

int Rand() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFF);
}

void ResetRand() {
    g_state = 1;
}

#pragma once

#include <cstdint>

#include "platform/System.h"

// The classic calls the game code makes, forwarded to the current system.
inline void MessageBox(const char* text, const char* caption) {
    Sys().MessageBox(text, caption);
}
inline void ShowCursor(bool show) {
    Sys().ShowCursor(show);
}
inline void Sleep(uint32_t ms) {
    Sys().Sleep(ms);
}
inline uint32_t GetTickCount() {
    return Sys().GetTickCount();
}

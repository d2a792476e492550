#pragma once

#include <string>

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>
#undef MessageBox

// The full path of the program file; empty when the system cannot say.
// A path longer than MAX_PATH is read again with room for it.
inline std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return {};
        }
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

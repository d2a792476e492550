#pragma once

// The window behind one dialog of Win32System, for the backend's own
// source files.

#include <cstdint>
#include <vector>

#include "platform/win32/Win32System.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>
#undef MessageBox

struct Win32System::Window {
    Win32System* system = nullptr;
    Dialog* dlg = nullptr;
    HWND hwnd = nullptr;
    std::vector<uint16_t> words;  // the DLGTEMPLATE, alive while the window is made
};

#pragma once

#include <cstdint>

struct Message;

// A window's key message as the game's key handling sees it. WM_KEYDOWN and
// WM_KEYUP carry the virtual-key code as it is (both SHIFT keys are
// VK_SHIFT, both CTRL keys VK_CONTROL), with the auto-repeat flag from bit
// 30 of lParam. Keys held under Alt arrive as WM_SYSKEYDOWN and are no game
// keys: only Alt+Enter goes on (as a key-down with `alt`, for the window
// mode); a WM_SYSKEYUP still releases its key, so no key bit stays set.
// Returns false for everything else.
bool MessageFromWin32(unsigned msg, uintptr_t wParam, intptr_t lParam, Message& out);

#pragma once

#include <cstdint>
#include <string>

struct Message;

// A window's key message as the game's key handling sees it. WM_KEYDOWN and
// WM_KEYUP carry the virtual-key code as it is (both SHIFT keys are
// VK_SHIFT, both CTRL keys VK_CONTROL), with the auto-repeat flag from bit
// 30 of lParam. Keys held under Alt arrive as WM_SYSKEYDOWN and are no game
// keys: only Alt+Enter goes on (as a key-down with `alt`, for the window
// mode); a WM_SYSKEYUP still releases its key, so no key bit stays set.
// `physical` is the key's place from the scan code in lParam.
// Returns false for everything else.
bool MessageFromWin32(unsigned msg, uintptr_t wParam, intptr_t lParam, Message& out);

// A WM_CHAR typed into a dialog as a Text message in UTF-8, for the input
// tap. Control characters (Enter, Escape, Backspace, Tab) are keys, not
// text: false. A character outside the BMP comes as two WM_CHARs; the first
// half waits in `pendingHigh` (false) until the second completes it.
bool TextFromWin32Char(uintptr_t wParam, char16_t& pendingHigh, Message& out);

// The UTF-16 of Windows and the UTF-8 of typed text (Message::text).
std::wstring WideFromUtf8(const std::string& text);

// The name Windows' layout gives the key at this place (PhysicalKeys), in
// Windows-1252 for the dialogs.
std::string KeyNameFromWin32(int physical);

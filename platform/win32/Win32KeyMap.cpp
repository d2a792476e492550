#include "platform/win32/Win32KeyMap.h"

#include "platform/Keys.h"
#include "platform/Message.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>

bool MessageFromWin32(unsigned msg, uintptr_t wParam, intptr_t lParam, Message& out) {
    const int key = static_cast<int>(wParam & 0xFF);
    const bool wasDown = (lParam & (1 << 30)) != 0;
    out = Message{};
    switch (msg) {
        case WM_KEYDOWN:
            out.kind = MessageKind::KeyDown;
            out.key = key;
            out.repeat = wasDown;
            return key != 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            out.kind = MessageKind::KeyUp;
            out.key = key;
            return key != 0;
        case WM_SYSKEYDOWN:
            if (key != VK_RETURN || (lParam & (1 << 29)) == 0) {
                return false;
            }
            out.kind = MessageKind::KeyDown;
            out.key = key;
            out.repeat = wasDown;
            out.alt = true;
            return true;
        default:
            return false;
    }
}

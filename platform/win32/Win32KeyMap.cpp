#include "platform/win32/Win32KeyMap.h"

#include "platform/Keys.h"
#include "platform/Message.h"
#include "platform/PhysicalKeys.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>

bool MessageFromWin32(unsigned msg, uintptr_t wParam, intptr_t lParam, Message& out) {
    const int key = static_cast<int>(wParam & 0xFF);
    const bool wasDown = (lParam & (1 << 30)) != 0;
    out = Message{};
    // The scan code names the key's place, whatever the layout makes of it.
    out.physical = PhysicalKeys::FromWindowsScanCode(static_cast<int>((lParam >> 16) & 0xFF),
                                                     (lParam & (1 << 24)) != 0);
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

bool TextFromWin32Char(uintptr_t wParam, char16_t& pendingHigh, Message& out) {
    const auto unit = static_cast<char16_t>(wParam & 0xFFFF);
    out = Message{};
    out.kind = MessageKind::Text;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        pendingHigh = unit;
        return false;
    }
    std::wstring wide;
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (pendingHigh == 0) {
            return false;  // half a character: nothing was typed
        }
        wide = {static_cast<wchar_t>(pendingHigh), static_cast<wchar_t>(unit)};
    } else if (unit >= 0x20 && unit != 0x7F) {
        wide = {static_cast<wchar_t>(unit)};
    }
    pendingHigh = 0;
    if (wide.empty()) {
        return false;
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    out.text.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.text.data(), n,
                        nullptr, nullptr);
    return n > 0;
}

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string KeyNameFromWin32(int physical) {
    const int scan = PhysicalKeys::WindowsScanCode(physical);
    const LONG lParam = ((scan & 0xFF) << 16) | ((scan & 0x100) != 0 ? (1 << 24) : 0);
    char name[64] = {};
    if (scan == 0 || GetKeyNameTextA(lParam, name, sizeof name) <= 0) {
        return PhysicalKeys::CodeName(physical);
    }
    return name;
}

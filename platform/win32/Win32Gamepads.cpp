#include "platform/win32/Win32Gamepads.h"

#include <algorithm>

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>
// <xinput.h> needs <windows.h> first.
#include <xinput.h>

namespace {

using GetStateFn = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

// Newest first; xinput9_1_0 is on every system since Vista.
constexpr const wchar_t* kLibraries[] = {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"};

// XInputGetState of the first library that has it, loaded once and never
// unloaded: Wine's XInput runs a thread of its own in the library's code,
// and unloading the library under it ends the program with a page fault.
FARPROC LoadGetState() {
    for (const wchar_t* name : kLibraries) {
        HMODULE lib = LoadLibraryW(name);
        if (lib == nullptr) {
            continue;
        }
        if (FARPROC fn = GetProcAddress(lib, "XInputGetState"); fn != nullptr) {
            return fn;
        }
        FreeLibrary(lib);
    }
    return nullptr;
}

}  // namespace

Win32Gamepads::Win32Gamepads() {
    static const FARPROC getState = LoadGetState();
    getState_ = reinterpret_cast<void*>(getState);
}

GamepadState Win32Gamepads::StateFromXInput(unsigned buttons, int thumbLX, int thumbLY) {
    GamepadState s;
    s.up = (buttons & XINPUT_GAMEPAD_DPAD_UP) != 0;
    s.down = (buttons & XINPUT_GAMEPAD_DPAD_DOWN) != 0;
    s.left = (buttons & XINPUT_GAMEPAD_DPAD_LEFT) != 0;
    s.right = (buttons & XINPUT_GAMEPAD_DPAD_RIGHT) != 0;
    s.a = (buttons & XINPUT_GAMEPAD_A) != 0;
    s.b = (buttons & XINPUT_GAMEPAD_B) != 0;
    s.x = (buttons & XINPUT_GAMEPAD_X) != 0;
    s.y = (buttons & XINPUT_GAMEPAD_Y) != 0;
    s.leftShoulder = (buttons & XINPUT_GAMEPAD_LEFT_SHOULDER) != 0;
    s.rightShoulder = (buttons & XINPUT_GAMEPAD_RIGHT_SHOULDER) != 0;
    s.start = (buttons & XINPUT_GAMEPAD_START) != 0;
    s.back = (buttons & XINPUT_GAMEPAD_BACK) != 0;
    s.stickX = thumbLX;
    s.stickY = std::min(32767, -thumbLY);
    return s;
}

void Win32Gamepads::Poll(std::vector<Message>& out) {
    if (getState_ == nullptr) {
        return;
    }
    const auto getState = reinterpret_cast<GetStateFn>(getState_);
    for (int pad = 0; pad < kPads; ++pad) {
        XINPUT_STATE state{};
        if (getState(static_cast<DWORD>(pad), &state) != ERROR_SUCCESS) {
            if (connected_[pad]) {
                connected_[pad] = false;
                mapper_.Remove(pad, out);
            }
            continue;
        }
        if (connected_[pad] && state.dwPacketNumber == packet_[pad]) {
            continue;  // nothing changed
        }
        connected_[pad] = true;
        packet_[pad] = state.dwPacketNumber;
        const XINPUT_GAMEPAD& g = state.Gamepad;
        mapper_.Update(pad, StateFromXInput(g.wButtons, g.sThumbLX, g.sThumbLY), out);
    }
}

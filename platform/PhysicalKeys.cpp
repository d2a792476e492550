#include "platform/PhysicalKeys.h"

#include <iterator>

namespace {

struct KeyRow {
    const char* code;  // KeyboardEvent.code
    int usage;         // USB usage id, SDL's scancode
    int scan;          // Windows scan code, 0x100 for an extended key
};

// The keys a player may bind: the main block, the cursor block, the keypad.
constexpr KeyRow kKeys[] = {
    {"KeyA", 4, 0x01E},
    {"KeyB", 5, 0x030},
    {"KeyC", 6, 0x02E},
    {"KeyD", 7, 0x020},
    {"KeyE", 8, 0x012},
    {"KeyF", 9, 0x021},
    {"KeyG", 10, 0x022},
    {"KeyH", 11, 0x023},
    {"KeyI", 12, 0x017},
    {"KeyJ", 13, 0x024},
    {"KeyK", 14, 0x025},
    {"KeyL", 15, 0x026},
    {"KeyM", 16, 0x032},
    {"KeyN", 17, 0x031},
    {"KeyO", 18, 0x018},
    {"KeyP", 19, 0x019},
    {"KeyQ", 20, 0x010},
    {"KeyR", 21, 0x013},
    {"KeyS", 22, 0x01F},
    {"KeyT", 23, 0x014},
    {"KeyU", 24, 0x016},
    {"KeyV", 25, 0x02F},
    {"KeyW", 26, 0x011},
    {"KeyX", 27, 0x02D},
    {"KeyY", 28, 0x015},
    {"KeyZ", 29, 0x02C},
    {"Digit1", 30, 0x002},
    {"Digit2", 31, 0x003},
    {"Digit3", 32, 0x004},
    {"Digit4", 33, 0x005},
    {"Digit5", 34, 0x006},
    {"Digit6", 35, 0x007},
    {"Digit7", 36, 0x008},
    {"Digit8", 37, 0x009},
    {"Digit9", 38, 0x00A},
    {"Digit0", 39, 0x00B},
    {"Enter", 40, 0x01C},
    {"Escape", 41, 0x001},
    {"Backspace", 42, 0x00E},
    {"Tab", 43, 0x00F},
    {"Space", 44, 0x039},
    {"Minus", 45, 0x00C},
    {"Equal", 46, 0x00D},
    {"BracketLeft", 47, 0x01A},
    {"BracketRight", 48, 0x01B},
    {"Backslash", 49, 0x02B},
    {"Semicolon", 51, 0x027},
    {"Quote", 52, 0x028},
    {"Backquote", 53, 0x029},
    {"Comma", 54, 0x033},
    {"Period", 55, 0x034},
    {"Slash", 56, 0x035},
    {"CapsLock", 57, 0x03A},
    {"F1", 58, 0x03B},
    {"F2", 59, 0x03C},
    {"F3", 60, 0x03D},
    {"F4", 61, 0x03E},
    {"F5", 62, 0x03F},
    {"F6", 63, 0x040},
    {"F7", 64, 0x041},
    {"F8", 65, 0x042},
    {"F9", 66, 0x043},
    {"F10", 67, 0x044},
    {"F11", 68, 0x057},
    {"F12", 69, 0x058},
    {"Insert", 73, 0x152},
    {"Home", 74, 0x147},
    {"PageUp", 75, 0x149},
    {"Delete", 76, 0x153},
    {"End", 77, 0x14F},
    {"PageDown", 78, 0x151},
    {"ArrowRight", 79, 0x14D},
    {"ArrowLeft", 80, 0x14B},
    {"ArrowDown", 81, 0x150},
    {"ArrowUp", 82, 0x148},
    {"NumLock", 83, 0x145},
    {"NumpadDivide", 84, 0x135},
    {"NumpadMultiply", 85, 0x037},
    {"NumpadSubtract", 86, 0x04A},
    {"NumpadAdd", 87, 0x04E},
    {"NumpadEnter", 88, 0x11C},
    {"Numpad1", 89, 0x04F},
    {"Numpad2", 90, 0x050},
    {"Numpad3", 91, 0x051},
    {"Numpad4", 92, 0x04B},
    {"Numpad5", 93, 0x04C},
    {"Numpad6", 94, 0x04D},
    {"Numpad7", 95, 0x047},
    {"Numpad8", 96, 0x048},
    {"Numpad9", 97, 0x049},
    {"Numpad0", 98, 0x052},
    {"NumpadDecimal", 99, 0x053},
    {"IntlBackslash", 100, 0x056},
    {"ControlLeft", 224, 0x01D},
    {"ShiftLeft", 225, 0x02A},
    {"AltLeft", 226, 0x038},
    {"MetaLeft", 227, 0x15B},
    {"ControlRight", 228, 0x11D},
    {"ShiftRight", 229, 0x036},
    {"AltRight", 230, 0x138},
    {"MetaRight", 231, 0x15C},
};

}  // namespace

namespace PhysicalKeys {

const char* CodeName(int key) {
    for (const KeyRow& row : kKeys) {
        if (row.usage == key && key != 0) {
            return row.code;
        }
    }
    return "";
}

int FromCodeName(std::string_view name) {
    for (const KeyRow& row : kKeys) {
        if (name == row.code) {
            return row.usage;
        }
    }
    return 0;
}

int FromWindowsScanCode(int scanCode, bool extended) {
    const int scan = (scanCode & 0xFF) | (extended ? 0x100 : 0);
    for (const KeyRow& row : kKeys) {
        if (row.scan == scan) {
            return row.usage;
        }
    }
    return 0;
}

int WindowsScanCode(int key) {
    for (const KeyRow& row : kKeys) {
        if (row.usage == key && key != 0) {
            return row.scan;
        }
    }
    return 0;
}

}  // namespace PhysicalKeys

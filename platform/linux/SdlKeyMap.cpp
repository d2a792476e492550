#include "platform/linux/SdlKeyMap.h"

#include <SDL_keyboard.h>

#include "platform/Cp1252.h"
#include "platform/Keys.h"
#include "platform/PhysicalKeys.h"

namespace {

// With NumLock off the keypad is the cursor block, as Windows reports it;
// with NumLock on its digits are typed text and no keys of the game.
int KeypadKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_KP_8:
            return VK_UP;
        case SDLK_KP_2:
            return VK_DOWN;
        case SDLK_KP_4:
            return VK_LEFT;
        case SDLK_KP_6:
            return VK_RIGHT;
        case SDLK_KP_7:
            return VK_HOME;
        case SDLK_KP_1:
            return VK_END;
        case SDLK_KP_PERIOD:
            return VK_DELETE;
        default:
            return 0;
    }
}

}  // namespace

int VirtualKeyFromSdl(SDL_Keycode key, uint16_t mod) {
    if (const int keypad = KeypadKey(key); keypad != 0) {
        return (mod & KMOD_NUM) != 0 ? 0 : keypad;
    }
    if (key >= SDLK_a && key <= SDLK_z) {
        return 'A' + (key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return '0' + (key - SDLK_0);
    }
    switch (key) {
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_RETURN:
        case SDLK_RETURN2:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_END:
            return VK_END;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_F1:
            return VK_F1;
        case SDLK_F2:
            return VK_F2;
        case SDLK_F12:
            return VK_F12;
        default:
            return 0;
    }
}

bool MessageFromSdlEvent(const SDL_Event& event, Message& out) {
    out = Message{};
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const uint16_t mod = event.key.keysym.mod;
            out.kind = event.type == SDL_KEYDOWN ? MessageKind::KeyDown : MessageKind::KeyUp;
            out.key = VirtualKeyFromSdl(event.key.keysym.sym, mod);
            // SDL's scancodes are the USB usage ids the bindings are kept in.
            const int scancode = static_cast<int>(event.key.keysym.scancode);
            out.physical = PhysicalKeys::CodeName(scancode)[0] != '\0' ? scancode : 0;
            out.repeat = event.type == SDL_KEYDOWN && event.key.repeat != 0;
            out.alt = (mod & KMOD_ALT) != 0;
            // A key pressed under Alt (without CTRL, as AltGr is on Windows)
            // is a system key there, no game key: only Alt+Enter goes on, for
            // the window mode. Releases always go on, so no key stays held.
            const bool systemKey = out.alt && (mod & KMOD_CTRL) == 0;
            if (out.kind == MessageKind::KeyDown && systemKey && out.key != VK_RETURN) {
                return false;
            }
            return out.key != 0 || out.physical != 0;
        }
        case SDL_TEXTINPUT:
            out.kind = MessageKind::Text;
            out.text = event.text.text;
            return !out.text.empty();
        default:
            return false;
    }
}

std::string KeyNameFromSdl(int scancode) {
    const std::string utf8 =
        SDL_GetKeyName(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode)));
    if (utf8.empty()) {
        return PhysicalKeys::CodeName(scancode);
    }
    std::string bytes;
    for (size_t pos = 0; pos < utf8.size();) {
        bytes += Cp1252FromUnicode(NextUtf8(utf8, pos));
    }
    return bytes;
}

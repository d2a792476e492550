#include "platform/linux/SdlKeyMap.h"

#include "platform/Keys.h"

int VirtualKeyFromSdl(SDL_Keycode key) {
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
        case SDL_KEYUP:
            out.kind = event.type == SDL_KEYDOWN ? MessageKind::KeyDown : MessageKind::KeyUp;
            out.key = VirtualKeyFromSdl(event.key.keysym.sym);
            out.repeat = event.type == SDL_KEYDOWN && event.key.repeat != 0;
            out.alt = (event.key.keysym.mod & KMOD_ALT) != 0;
            return out.key != 0;
        case SDL_TEXTINPUT:
            out.kind = MessageKind::Text;
            out.text = event.text.text;
            return !out.text.empty();
        default:
            return false;
    }
}

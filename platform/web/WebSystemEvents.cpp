// The page's events into the web system: web/quorvax-page.js calls these
// from its listeners while the game's loop waits for the next frame. They
// only queue; the loop hands them on at its next animation frame.
#include <emscripten.h>

#include <cstdint>

#include "platform/Message.h"
#include "platform/web/WebKeyMap.h"
#include "platform/web/WebSystem.h"

extern "C" {

EMSCRIPTEN_KEEPALIVE void quorvax_key(int down, int keyCode, int repeat, int alt, int ctrl) {
    WebSystem* system = WebSystem::Current();
    Message msg;
    if (system != nullptr &&
        MessageFromDomKey(down != 0, keyCode, repeat != 0, alt != 0, ctrl != 0, msg)) {
        system->QueueInput(msg);
    }
}

// A typed character, as a code point: the page calls the game directly (a
// call that passes a string would wait for the game's loop to return).
EMSCRIPTEN_KEEPALIVE void quorvax_text(int codePoint) {
    WebSystem* system = WebSystem::Current();
    if (system == nullptr || codePoint <= 0 || codePoint > 0x10FFFF) {
        return;
    }
    const auto cp = static_cast<uint32_t>(codePoint);
    Message msg;
    msg.kind = MessageKind::Text;
    if (cp < 0x80) {
        msg.text += static_cast<char>(cp);
    } else if (cp < 0x800) {
        msg.text += static_cast<char>(0xC0 | (cp >> 6));
        msg.text += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        msg.text += static_cast<char>(0xE0 | (cp >> 12));
        msg.text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        msg.text += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        msg.text += static_cast<char>(0xF0 | (cp >> 18));
        msg.text += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        msg.text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        msg.text += static_cast<char>(0x80 | (cp & 0x3F));
    }
    system->QueueInput(msg);
}

EMSCRIPTEN_KEEPALIVE void quorvax_button(int dialogHandle, int id) {
    if (WebSystem* system = WebSystem::Current(); system != nullptr) {
        system->QueueButton(dialogHandle, id);
    }
}

EMSCRIPTEN_KEEPALIVE void quorvax_resized(int width, int height) {
    if (WebSystem* system = WebSystem::Current(); system != nullptr) {
        system->QueueResize(width, height);
    }
}

}  // extern "C"

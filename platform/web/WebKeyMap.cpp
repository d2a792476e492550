#include "platform/web/WebKeyMap.h"

#include "platform/Keys.h"

namespace {

int VirtualKeyFromDom(int keyCode) {
    if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9')) {
        return keyCode;
    }
    switch (keyCode) {
        case VK_BACK:
        case VK_TAB:
        case VK_RETURN:
        case VK_SHIFT:
        case VK_CONTROL:
        case VK_MENU:
        case VK_ESCAPE:
        case VK_SPACE:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_DELETE:
        case VK_F1:
        case VK_F12:
            return keyCode;
        default:
            return 0;  // the keypad's digits with NumLock on (96..105) among them
    }
}

}  // namespace

bool MessageFromDomKey(bool down, int keyCode, bool repeat, bool alt, bool ctrl, Message& out) {
    out = Message{};
    out.kind = down ? MessageKind::KeyDown : MessageKind::KeyUp;
    out.key = VirtualKeyFromDom(keyCode);
    out.repeat = down && repeat;
    out.alt = alt;
    if (down && alt && !ctrl && out.key != VK_RETURN) {
        return false;
    }
    return out.key != 0;
}

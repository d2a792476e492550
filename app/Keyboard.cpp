#include "app/Keyboard.h"

#include "platform/Keys.h"

int KeyBit(int vk) {
    switch (vk) {
        case VK_UP:
            return kKeyForward;
        case VK_DOWN:
            return kKeyBack;
        case VK_RIGHT:
            return kKeyTurnRight;
        case VK_LEFT:
            return kKeyTurnLeft;
        case VK_CONTROL:
            return kKeyBomb;
        case VK_SHIFT:
            return kKeyJump;
        default:
            return 0;
    }
}

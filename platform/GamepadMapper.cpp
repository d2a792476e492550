#include "platform/GamepadMapper.h"

#include "platform/Keys.h"

const std::array<int, GamepadMapper::kKeyCount> GamepadMapper::kKeys = {
    VK_UP, VK_DOWN, VK_RIGHT, VK_LEFT, VK_CONTROL, VK_SHIFT, VK_SPACE,
};

namespace {

// One direction of the stick with its hysteresis: `value` grows towards it.
bool StickHeld(bool was, int value) {
    if (value > GamepadMapper::kStickPress) {
        return true;
    }
    if (value < GamepadMapper::kStickRelease) {
        return false;
    }
    return was;
}

Message KeyMessage(MessageKind kind, int vk) {
    Message m;
    m.kind = kind;
    m.key = vk;
    return m;
}

}  // namespace

void GamepadMapper::Update(int id, const GamepadState& s, std::vector<Message>& out) {
    Pad& pad = pads_[id];
    pad.stickUp = StickHeld(pad.stickUp, -s.stickY);
    pad.stickDown = StickHeld(pad.stickDown, s.stickY);
    pad.stickLeft = StickHeld(pad.stickLeft, -s.stickX);
    pad.stickRight = StickHeld(pad.stickRight, s.stickX);

    // Start pressed while Back is down is the Escape chord, not SPACE; a
    // Start already down as SPACE stays SPACE until it is let go.
    if (s.start && !pad.startDown) {
        pad.startIsSpace = !s.back;
    }
    pad.startIsSpace = pad.startIsSpace && s.start;
    pad.startDown = s.start;
    const std::array<bool, kKeyCount> held = {
        s.up || pad.stickUp,
        s.down || pad.stickDown,
        s.right || pad.stickRight,
        s.left || pad.stickLeft,
        s.b || s.x,
        s.a,
        s.start && pad.startIsSpace,
    };
    Apply(pad, held, out);

    const bool chord = s.back && s.start;
    if (chord && !pad.chord) {
        out.push_back(KeyMessage(MessageKind::KeyDown, VK_ESCAPE));
        out.push_back(KeyMessage(MessageKind::KeyUp, VK_ESCAPE));
    }
    pad.chord = chord;
}

void GamepadMapper::Remove(int id, std::vector<Message>& out) {
    auto it = pads_.find(id);
    if (it == pads_.end()) {
        return;
    }
    Apply(it->second, {}, out);
    pads_.erase(it);
}

void GamepadMapper::Apply(Pad& pad, const std::array<bool, kKeyCount>& held,
                          std::vector<Message>& out) {
    for (int i = 0; i < kKeyCount; ++i) {
        if (held[i] == pad.held[i]) {
            continue;
        }
        pad.held[i] = held[i];
        if (held[i]) {
            if (holders_[i]++ == 0) {
                out.push_back(KeyMessage(MessageKind::KeyDown, kKeys[i]));
            }
        } else if (--holders_[i] == 0) {
            out.push_back(KeyMessage(MessageKind::KeyUp, kKeys[i]));
        }
    }
}

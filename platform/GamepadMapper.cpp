#include "platform/GamepadMapper.h"

#include "platform/Keys.h"

const std::array<int, GamepadMapper::kKeyCount> GamepadMapper::kKeys = {
    VK_UP, VK_DOWN, VK_RIGHT, VK_LEFT, VK_CONTROL, VK_SHIFT, VK_SPACE,
};

namespace {

// One direction of the stick with its hysteresis: `value` grows towards it.
bool StickHeld(bool was, int value, int press, int release) {
    if (value > press) {
        return true;
    }
    if (value < release) {
        return false;
    }
    return was;
}

// The actions in the order of GamepadMapper::kKeys.
constexpr GameAction kKeyActions[] = {
    GameAction::Forward, GameAction::Back, GameAction::TurnRight, GameAction::TurnLeft,
    GameAction::Bomb,    GameAction::Jump, GameAction::Start,
};

Message KeyMessage(MessageKind kind, int vk) {
    Message m;
    m.kind = kind;
    m.key = vk;
    return m;
}

}  // namespace

void GamepadMapper::SetBindings(const PadBindings& bindings) {
    bindings_ = bindings;
    stickPress_ = bindings.deadZone * kStickPress / PadBindings::kDefaultDeadZone;
    stickRelease_ = stickPress_ * kStickRelease / kStickPress;
}

bool GamepadMapper::Holds(const GamepadState& s, PadButton button) {
    switch (button) {
        case PadButton::A:
            return s.a;
        case PadButton::B:
            return s.b;
        case PadButton::X:
            return s.x;
        case PadButton::Y:
            return s.y;
        case PadButton::Back:
            return s.back;
        case PadButton::Start:
            return s.start;
        case PadButton::LeftShoulder:
            return s.leftShoulder;
        case PadButton::RightShoulder:
            return s.rightShoulder;
        case PadButton::DpadUp:
            return s.up;
        case PadButton::DpadDown:
            return s.down;
        case PadButton::DpadLeft:
            return s.left;
        case PadButton::DpadRight:
            return s.right;
        case PadButton::None:
            break;
    }
    return false;
}

void GamepadMapper::Update(int id, const GamepadState& s, std::vector<Message>& out) {
    Pad& pad = pads_[id];
    const int press = stickPress_;
    const int release = stickRelease_;
    pad.stickUp = StickHeld(pad.stickUp, -s.stickY, press, release);
    pad.stickDown = StickHeld(pad.stickDown, s.stickY, press, release);
    pad.stickLeft = StickHeld(pad.stickLeft, -s.stickX, press, release);
    pad.stickRight = StickHeld(pad.stickRight, s.stickX, press, release);

    // Start pressed while Back is down is the Escape chord, not SPACE; a
    // Start already down as SPACE stays SPACE until it is let go.
    if (s.start && !pad.startDown) {
        pad.startIsSpace = !s.back;
    }
    pad.startIsSpace = pad.startIsSpace && s.start;
    pad.startDown = s.start;
    const bool stick[kKeyCount] = {pad.stickUp, pad.stickDown, pad.stickRight, pad.stickLeft,
                                   false,       false,         false};
    std::array<bool, kKeyCount> held{};
    for (int i = 0; i < kKeyCount; ++i) {
        for (const PadButton button : bindings_.Buttons(kKeyActions[i])) {
            // Start as SPACE is kept apart from Start as half of the Escape chord.
            const bool startPress = button != PadButton::Start || pad.startIsSpace;
            held[i] = held[i] || (Holds(s, button) && startPress);
        }
        held[i] = held[i] || stick[i];
    }
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

#include "platform/InputBindings.h"

#include "platform/Keys.h"
#include "platform/PhysicalKeys.h"

namespace {

struct ActionRow {
    const char* title;
    const char* fileName;
    int gameKey;
    std::array<const char*, kBindingSlots> keys;
    std::array<PadButton, kBindingSlots> buttons;
};

// In GameAction's order.
const ActionRow kActions[kGameActionCount] = {
    {"Forward", "forward", VK_UP, {"ArrowUp", "Numpad8"}, {PadButton::DpadUp, PadButton::None}},
    {"Back", "back", VK_DOWN, {"ArrowDown", "Numpad2"}, {PadButton::DpadDown, PadButton::None}},
    {"Turn left",
     "turn_left",
     VK_LEFT,
     {"ArrowLeft", "Numpad4"},
     {PadButton::DpadLeft, PadButton::None}},
    {"Turn right",
     "turn_right",
     VK_RIGHT,
     {"ArrowRight", "Numpad6"},
     {PadButton::DpadRight, PadButton::None}},
    {"Jump", "jump", VK_SHIFT, {"ShiftLeft", "ShiftRight"}, {PadButton::A, PadButton::None}},
    {"Bomb", "bomb", VK_CONTROL, {"ControlLeft", "ControlRight"}, {PadButton::B, PadButton::X}},
    {"Start", "start", VK_SPACE, {"Space", ""}, {PadButton::Start, PadButton::None}},
};

const char* const kPadButtonNames[kPadButtonCount] = {
    "",     "a",      "b",      "x",       "y", "back", "start", "leftshoulder", "rightshoulder",
    "dpup", "dpdown", "dpleft", "dpright",
};

// Takes `value` out of every other slot that holds it; the first action it
// was taken from goes to `from`.
template <typename Table, typename Value>
bool TakeFromOthers(Table& table, int action, int slot, Value value, GameAction* from) {
    bool taken = false;
    for (int a = 0; a < kGameActionCount; ++a) {
        for (int s = 0; s < kBindingSlots; ++s) {
            if ((a != action || s != slot) && table[a][s] == value) {
                table[a][s] = Value{};
                if (!taken && from != nullptr && a != action) {
                    *from = static_cast<GameAction>(a);
                }
                taken = taken || a != action;
            }
        }
    }
    return taken;
}

}  // namespace

const char* ActionTitle(GameAction action) {
    return kActions[static_cast<int>(action)].title;
}

const char* ActionFileName(GameAction action) {
    return kActions[static_cast<int>(action)].fileName;
}

int ActionGameKey(GameAction action) {
    return kActions[static_cast<int>(action)].gameKey;
}

KeyBindings KeyBindings::Defaults() {
    KeyBindings b;
    for (int a = 0; a < kGameActionCount; ++a) {
        for (int s = 0; s < kBindingSlots; ++s) {
            b.keys_[a][s] = PhysicalKeys::FromCodeName(kActions[a].keys[s]);
        }
    }
    return b;
}

bool KeyBindings::ActionOf(int key, GameAction& action) const {
    if (key == 0) {
        return false;
    }
    for (int a = 0; a < kGameActionCount; ++a) {
        for (int k : keys_[a]) {
            if (k == key) {
                action = static_cast<GameAction>(a);
                return true;
            }
        }
    }
    return false;
}

bool KeyBindings::Bind(GameAction action, int slot, int key, GameAction* from) {
    if (slot < 0 || slot >= kBindingSlots) {
        return false;
    }
    keys_[Index(action)][slot] = key;
    return key != 0 && TakeFromOthers(keys_, Index(action), slot, key, from);
}

bool KeyBindings::HasKey(GameAction action) const {
    const Slots& slots = keys_[Index(action)];
    return slots[0] != 0 || slots[1] != 0;
}

bool KeyBindings::FillEmptyFromDefaults() {
    const KeyBindings defaults = Defaults();
    bool filled = false;
    for (int a = 0; a < kGameActionCount; ++a) {
        const GameAction action = static_cast<GameAction>(a);
        if (HasKey(action)) {
            continue;
        }
        for (int s = 0; s < kBindingSlots; ++s) {
            GameAction holder;
            const int key = defaults.keys_[a][s];
            if (key != 0 && !ActionOf(key, holder)) {
                keys_[a][s] = key;
                filled = true;
            }
        }
    }
    return filled;
}

int GameKeyOfBoundKey(const KeyBindings& bindings, int physical, int key) {
    GameAction action;
    if (physical == 0) {
        return key;  // not from a keyboard we know
    }
    if (bindings.ActionOf(physical, action)) {
        return ActionGameKey(action);
    }
    for (const ActionRow& row : kActions) {
        if (row.gameKey == key) {
            return 0;
        }
    }
    return key;
}

const char* PadButtonName(PadButton button) {
    const int i = static_cast<int>(button);
    return i >= 0 && i < kPadButtonCount ? kPadButtonNames[i] : "";
}

bool PadButtonFromName(std::string_view name, PadButton& button) {
    for (int i = 0; i < kPadButtonCount; ++i) {
        if (name == kPadButtonNames[i]) {
            button = static_cast<PadButton>(i);
            return true;
        }
    }
    return false;
}

PadBindings PadBindings::Defaults() {
    PadBindings b;
    for (int a = 0; a < kGameActionCount; ++a) {
        b.buttons_[a] = kActions[a].buttons;
    }
    return b;
}

bool PadBindings::Bind(GameAction action, int slot, PadButton button, GameAction* from) {
    if (slot < 0 || slot >= kBindingSlots) {
        return false;
    }
    buttons_[Index(action)][slot] = button;
    return button != PadButton::None && TakeFromOthers(buttons_, Index(action), slot, button, from);
}

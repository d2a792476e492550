#pragma once

#include <array>
#include <string_view>

// The game's actions that a player binds to keys and pad buttons. Each
// binding yields the game's own key for its action, so the game, its
// recordings and replays only ever see the classic keys.
enum class GameAction { Forward, Back, TurnLeft, TurnRight, Jump, Bomb, Start };
constexpr int kGameActionCount = 7;
// Two keys or buttons per action.
constexpr int kBindingSlots = 2;

// The action's name in the dialogs ("Turn left"), in the settings file
// ("turn_left"), and its classic virtual key (VK_LEFT).
const char* ActionTitle(GameAction action);
const char* ActionFileName(GameAction action);
int ActionGameKey(GameAction action);

// Physical keys (PhysicalKeys) per action; 0 is an empty slot.
class KeyBindings {
  public:
    using Slots = std::array<int, kBindingSlots>;

    // The classic keys: the arrows (and the keypad's), both SHIFT keys, both
    // CTRL keys, Space.
    static KeyBindings Defaults();

    const Slots& Keys(GameAction action) const { return keys_[Index(action)]; }
    // The action a key is bound to; false when it has none.
    bool ActionOf(int key, GameAction& action) const;
    // Puts the key into the slot. A key that another slot held is taken
    // from it: that action is returned in `from` (true), so the dialog can
    // say so. 0 clears the slot.
    bool Bind(GameAction action, int slot, int key, GameAction* from = nullptr);
    // An action left without any key gets its default keys back where no
    // other action holds them (after loading a damaged file). True if any did.
    bool FillEmptyFromDefaults();
    bool HasKey(GameAction action) const;

    bool operator==(const KeyBindings& other) const { return keys_ == other.keys_; }
    bool operator!=(const KeyBindings& other) const { return !(*this == other); }

  private:
    static int Index(GameAction action) { return static_cast<int>(action); }
    std::array<Slots, kGameActionCount> keys_{};
};

// The game's key for a key pressed in the game's window: the classic key
// of the action `physical` is bound to; else 0 for a classic key of an
// action (bound elsewhere now), else `key` as it is (F1, Escape, letters).
int GameKeyOfBoundKey(const KeyBindings& bindings, int physical, int key);

// Buttons of a pad with the standard layout, as SDL's game controllers and
// the browser's standard mapping know them.
enum class PadButton {
    None,
    A,
    B,
    X,
    Y,
    Back,
    Start,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
};
constexpr int kPadButtonCount = 13;

// "a", "dpup", ... as SDL names them; "" for None.
const char* PadButtonName(PadButton button);
// The button of a name; false when unknown ("" is None and known).
bool PadButtonFromName(std::string_view name, PadButton& button);

// Pad buttons per action and the left stick's dead zone.
class PadBindings {
  public:
    using Slots = std::array<PadButton, kBindingSlots>;
    static constexpr int kDefaultDeadZone = 49;  // percent of the stick's travel
    static constexpr int kMinDeadZone = 5;
    static constexpr int kMaxDeadZone = 90;

    // The d-pad, A to jump, B or X to bomb, Start.
    static PadBindings Defaults();

    const Slots& Buttons(GameAction action) const { return buttons_[Index(action)]; }
    // As KeyBindings::Bind, for buttons. Back and Start pressed together
    // stay Escape, whatever they are bound to.
    bool Bind(GameAction action, int slot, PadButton button, GameAction* from = nullptr);
    int deadZone = kDefaultDeadZone;

    bool operator==(const PadBindings& other) const {
        return buttons_ == other.buttons_ && deadZone == other.deadZone;
    }
    bool operator!=(const PadBindings& other) const { return !(*this == other); }

  private:
    static int Index(GameAction action) { return static_cast<int>(action); }
    std::array<Slots, kGameActionCount> buttons_{};
};

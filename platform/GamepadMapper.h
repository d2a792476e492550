#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/InputBindings.h"
#include "platform/Message.h"

// What one game controller holds at a moment: the buttons the game uses and
// the left stick (SDL's axis range, -32768..32767, y grows downwards).
struct GamepadState {
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
    bool a = false;
    bool b = false;
    bool x = false;
    bool y = false;
    bool leftShoulder = false;
    bool rightShoulder = false;
    bool start = false;
    bool back = false;
    int stickX = 0;
    int stickY = 0;
};

// Turns controller states into the key messages the keyboard would send:
// the buttons bound to an action (PadBindings; by default the d-pad as the
// arrows, A as SHIFT, B or X as CTRL, Start as SPACE) and the left stick as
// the arrows; Back with Start is always Escape. A key goes down when the first
// controller starts holding it and up when the last one lets go, so the key
// bits are set and cleared exactly as by the keyboard. No auto-repeat.
class GamepadMapper {
  public:
    // The stick counts as pushed beyond kStickPress and as let go below
    // kStickRelease; in between it keeps what it was, so a stick resting
    // near the edge of the dead zone does not chatter.
    static constexpr int kStickPress = 16000;
    static constexpr int kStickRelease = 10000;

    // The player's buttons and dead zone (kStickPress at the default dead
    // zone); the keys held so far stay held until let go.
    void SetBindings(const PadBindings& bindings);
    // Whether the state holds that button.
    static bool Holds(const GamepadState& state, PadButton button);

    // The backend calls this with controller `pad`'s whole state after each
    // of its button or axis events; the messages to deliver are appended.
    void Update(int pad, const GamepadState& state, std::vector<Message>& out);
    // The backend calls this when a controller is unplugged: what it held is released.
    void Remove(int pad, std::vector<Message>& out);

  private:
    // The keys a controller can hold, in the order their messages go out.
    static constexpr int kKeyCount = 7;
    static const std::array<int, kKeyCount> kKeys;

    struct Pad {
        bool stickUp = false;
        bool stickDown = false;
        bool stickLeft = false;
        bool stickRight = false;
        bool startDown = false;
        bool chord = false;         // Back and Start are down together
        bool startIsSpace = false;  // this Start press went out as SPACE
        std::array<bool, kKeyCount> held{};
    };

    // Moves one controller's held keys to `held`, sending the changes.
    void Apply(Pad& pad, const std::array<bool, kKeyCount>& held, std::vector<Message>& out);

    PadBindings bindings_ = PadBindings::Defaults();
    int stickPress_ = kStickPress;
    int stickRelease_ = kStickRelease;
    std::map<int, Pad> pads_;
    std::array<int, kKeyCount> holders_{};  // controllers holding each key
};

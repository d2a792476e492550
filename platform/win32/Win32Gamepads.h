#pragma once

#include <array>
#include <vector>

#include "platform/GamepadMapper.h"
#include "platform/Message.h"

// The XInput controllers (up to four), polled by Win32System a few times a
// tick and turned into key messages by the mapping every system shares.
// XInput is looked up at run time: without it the keyboard still plays.
class Win32Gamepads {
  public:
    Win32Gamepads();
    Win32Gamepads(const Win32Gamepads&) = delete;
    Win32Gamepads& operator=(const Win32Gamepads&) = delete;

    // True when an XInput library was found.
    bool Available() const { return getState_ != nullptr; }
    // Reads every controller; the key messages of what changed are appended.
    void Poll(std::vector<Message>& out);

    // The player's pad bindings and dead zone.
    void SetBindings(const PadBindings& bindings) { mapper_.SetBindings(bindings); }

    // An XInput pad's buttons and left stick as the mapper's state: XInput's
    // stick grows upwards, the mapper's (SDL's) downwards.
    static GamepadState StateFromXInput(unsigned buttons, int thumbLX, int thumbLY);

  private:
    static constexpr int kPads = 4;

    void* getState_ = nullptr;              // XInputGetState
    std::array<bool, kPads> connected_{};   // the pad answered last time
    std::array<unsigned, kPads> packet_{};  // its last packet number
    GamepadMapper mapper_;
};

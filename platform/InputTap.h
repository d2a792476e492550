#pragma once

struct Message;

// Watches the input of the whole program before any window sees it: the
// recording of a game writes it down, the playback of one holds the
// player's keys back. Set with System::SetInputTap.
class InputTap {
  public:
    virtual ~InputTap() = default;
    // Every keyboard and gamepad message, mapped to virtual keys, just before
    // the backend hands it to the innermost modal dialog. False drops it.
    // Input to a message box is not shown here: message boxes stay out of
    // recordings (the replay tool answers them itself), and a playback lets
    // the player answer them.
    virtual bool OnInput(const Message& msg) = 0;
};

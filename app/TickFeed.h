#pragma once

#include <cstdint>

class Dialog;

// Input that comes from a recorded game instead of the player (playback).
class TickFeed {
  public:
    virtual ~TickFeed() = default;
    // MainWindow::OnTimer, before tick `tick` runs: delivers the input of
    // that tick to the innermost modal dialog, and ends the main dialog
    // `main` when the playback is over.
    virtual void BeforeTick(uint64_t tick, Dialog& main) = 0;
};

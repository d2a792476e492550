#pragma once

// SIGTERM and SIGINT end the program the orderly way, whenever they come:
// the handler only notes them, and the event loop cancels every modal
// dialog once it sees the note, so the game saves its scores and shows the
// cursor as after Escape.
class QuitSignals {
  public:
    // main() calls it first, before anything could be interrupted.
    static void Install();
    // True once either signal has arrived; the event loop asks on every pass.
    static bool Pending();
};

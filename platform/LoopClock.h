#pragma once

#include <cstdint>

// The time as a backend's event loop sees it, and its ways of waiting: the
// wall clock in the game; the loops' tests put a virtual one in its place,
// so that the very loop the game runs can be driven at virtual time.
class LoopClock {
  public:
    virtual ~LoopClock() = default;

    // Microseconds on a steady clock since an arbitrary start.
    virtual uint64_t NowUs() = 0;
    // The thread sleeps for about us microseconds.
    virtual void SleepUs(uint64_t us) = 0;
    // The desktop loop's spin just before a due time: gives the processor
    // away for a moment without sleeping.
    virtual void Yield() = 0;
    // The page's loop: waits for the display's next frame. True at an
    // animation frame, false when woken earlier for the page's events.
    virtual bool NextFrame() = 0;
};

#pragma once

#include <cstdint>

#include "platform/RecentValues.h"

// When the main window draws a frame between its ticks: at most one per
// frame interval, every tick's own picture at least once, and never a frame
// that would still be drawing when the next tick is due (that frame is
// dropped rather than the tick delayed). Times in microseconds on one
// steady clock. The backends' modal loops ask it; it draws nothing itself.
class FramePacer {
  public:
    // SetFrameSource: frames at most intervalUs apart, ticks tickUs apart.
    void Start(uint64_t intervalUs, uint64_t tickUs, uint64_t now);
    // The main window's tick has just run at now.
    void TickRan(uint64_t now);
    // The loop, when no timer is due: whether to draw a frame now. A loop
    // that knows when its next timer is due passes it: a frame between
    // ticks must be done by then too.
    bool Due(uint64_t now, uint64_t nextTimer = UINT64_MAX) const;
    // The loop, after the frame it was told to draw: drawn, or left out
    // because it would have shown the last picture again (not timed then).
    void Drawn(uint64_t start, uint64_t end, bool drew = true);
    // The loop: when to look again (it also wakes for its timers).
    uint64_t NextWake(uint64_t now, uint64_t nextTimer = UINT64_MAX) const;

    uint64_t Interval() const { return interval_; }

  private:
    uint64_t interval_ = 16667;
    uint64_t tick_ = 40000;
    uint64_t next_ = 0;
    uint64_t lastTick_ = 0;
    // The longest of the last frames' drawing times: with vsync a frame
    // may wait up to a whole refresh for its swap, and an average of short
    // and long waits would let the long ones run into the tick.
    RecentValues<8> costs_;
    bool tickShown_ = true;
};

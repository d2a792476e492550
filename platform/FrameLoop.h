#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "platform/FixedStepTimers.h"
#include "platform/LoopClock.h"
#include "platform/RecentValues.h"

class Dialog;

// The modal loop of a system woken only by the display's frames (the web
// page): at each animation frame the window timers due on the fixed-step
// clock, a few at most, then a frame of the frame source, unless it is a
// frame between ticks that would make the next tick miss its animation
// frame; the system's own events at every wake. It knows no page: the system answers through Host,
// and the clock is the page's or a test's.
class FrameLoop {
  public:
    class Host {
      public:
        // The system's events that came since the last pass, in modal's loop.
        virtual void HandleEvents(Dialog& modal) = 0;
        // The open dialog that draws frames between ticks; null for none.
        virtual Dialog* FrameSource() = 0;
        // After an animation frame's work: the dialogs' views brought up to date.
        virtual void FrameDone() = 0;

      protected:
        ~Host() = default;
    };

    // At most this many ticks in one animation frame (a slow frame still
    // keeps the game's pace; a longer stall is dropped, not rushed).
    static constexpr int kMaxTicksPerFrame = 4;

    FrameLoop(Host& host, LoopClock& clock) : host_(host), clock_(&clock) {}

    uint64_t NowUs() { return clock_->NowUs(); }
    void SetTimer(Dialog& dlg, unsigned id, unsigned periodMs);
    void KillTimer(Dialog& dlg, unsigned id) { timers_.Kill(&dlg, id); }
    void KillTimers(Dialog& dlg) { timers_.KillAll(&dlg); }
    // While held() is true no timer fires (see WebSystem::HoldClock).
    void HoldClock(std::function<bool()> held) { clockHeld_ = std::move(held); }

    // RunModal's loop of modal, after its OnInitDialog: passes until it ends.
    void Run(Dialog& modal);

  private:
    // One pass: the system's events, then at an animation frame the due
    // timers and a frame (a pass woken for events has neither).
    void Pass(Dialog& modal, bool animationFrame);
    // True when a timer fired.
    bool FireDueTimers(Dialog& modal);
    void DrawFrame(Dialog& source);

    Host& host_;
    LoopClock* clock_;
    FixedStepTimers timers_;
    std::function<bool()> clockHeld_;
    bool tickShown_ = true;     // the last tick's picture was drawn
    bool drewFrame_ = false;    // in the last animation frame
    uint64_t lastFrameAt_ = 0;  // the last animation frame the loop waited for
    // The gaps after animation frames without a frame of ours: the shortest
    // is the display's refresh.
    RecentValues<16> frameGaps_;
    RecentValues<8> frameCosts_;
};

#include "platform/FrameLoop.h"

#include <algorithm>

#include "platform/Dialog.h"

void FrameLoop::SetTimer(Dialog& dlg, unsigned id, unsigned periodMs) {
    timers_.Set(&dlg, id, uint64_t{periodMs} * 1000u, NowUs());
}

void FrameLoop::Run(Dialog& modal) {
    bool animationFrame = true;
    while (!modal.IsEnded()) {
        Pass(modal, animationFrame);
        if (!modal.IsEnded()) {
            animationFrame = clock_->NextFrame();
            if (animationFrame) {
                // After an animation frame without a frame of ours, the gap
                // is the display's own.
                const uint64_t now = NowUs();
                if (!drewFrame_ && lastFrameAt_ != 0) {
                    frameGaps_.Put(now - std::min(now, lastFrameAt_));
                }
                lastFrameAt_ = now;
            }
        }
    }
}

void FrameLoop::Pass(Dialog& modal, bool animationFrame) {
    host_.HandleEvents(modal);
    if (modal.IsEnded() || !animationFrame) {
        return;
    }
    drewFrame_ = false;
    if (FireDueTimers(modal)) {
        tickShown_ = false;
    }
    if (modal.IsEnded()) {
        return;
    }
    if (Dialog* source = host_.FrameSource(); source != nullptr) {
        DrawFrame(*source);
    }
    host_.FrameDone();
}

// Every animation frame is a frame of the display, and a new tick's picture
// is always drawn (the main window leaves out one that would repeat the
// last). A frame between ticks that takes longer than the display's refresh
// (or one while that is not known yet) delays the next animation frame: it
// is left out when the next tick would be due before it is done.
void FrameLoop::DrawFrame(Dialog& source) {
    const uint64_t start = NowUs();
    const uint64_t cost = frameCosts_.Max();
    const uint64_t nextTick = clockHeld_ && clockHeld_() ? UINT64_MAX : timers_.NextDue();
    if (tickShown_ && cost > frameGaps_.Min() && start + cost > nextTick) {
        return;
    }
    if (source.OnFrame()) {
        frameCosts_.Put(NowUs() - start);
        drewFrame_ = true;
    }
    tickShown_ = true;
}

// Ticks on a fixed step (FixedStepTimers): as many as are due, up to a
// few in one animation frame.
bool FrameLoop::FireDueTimers(Dialog& modal) {
    Dialog* owner = nullptr;
    unsigned id = 0;
    int fired = 0;
    for (; fired < kMaxTicksPerFrame && !modal.IsEnded() && !(clockHeld_ && clockHeld_()) &&
           timers_.PopDue(NowUs(), owner, id);
         ++fired) {
        owner->OnTimer(id);
    }
    return fired > 0;
}

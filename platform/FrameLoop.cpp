#include "platform/FrameLoop.h"

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
        }
    }
}

void FrameLoop::Pass(Dialog& modal, bool animationFrame) {
    host_.HandleEvents(modal);
    if (modal.IsEnded() || !animationFrame) {
        return;
    }
    FireDueTimers(modal);
    if (modal.IsEnded()) {
        return;
    }
    if (Dialog* source = host_.FrameSource(); source != nullptr) {
        // Every animation frame is a frame of the display: the main window
        // leaves out one that would repeat the last picture.
        source->OnFrame();
    }
    host_.FrameDone();
}

// Ticks on a fixed step (FixedStepTimers): as many as are due, up to a
// few in one animation frame.
void FrameLoop::FireDueTimers(Dialog& modal) {
    Dialog* owner = nullptr;
    unsigned id = 0;
    for (int fired = 0; fired < kMaxTicksPerFrame && !modal.IsEnded() &&
                        !(clockHeld_ && clockHeld_()) && timers_.PopDue(NowUs(), owner, id);
         ++fired) {
        owner->OnTimer(id);
    }
}

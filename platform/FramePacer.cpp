#include "platform/FramePacer.h"

#include <algorithm>

void FramePacer::Start(uint64_t intervalUs, uint64_t tickUs, uint64_t now) {
    interval_ = std::max<uint64_t>(intervalUs, 1);
    tick_ = tickUs;
    next_ = now;
    lastTick_ = now;
    costs_.Clear();
    tickShown_ = true;
}

void FramePacer::TickRan(uint64_t now) {
    lastTick_ = now;
    tickShown_ = false;
}

bool FramePacer::Due(uint64_t now, uint64_t nextTimer) const {
    if (now < next_) {
        return false;
    }
    // A new tick's picture is always shown; a frame between ticks only
    // when it will be done before the next tick. The tick ran at lastTick_,
    // maybe after its due time, so the loop's own timer is the better guess.
    const uint64_t cost = costs_.Max();
    return !tickShown_ || now + cost <= std::min(lastTick_ + tick_, nextTimer);
}

void FramePacer::Drawn(uint64_t start, uint64_t end, bool drew) {
    if (drew) {
        costs_.Put(end > start ? end - start : 0);
    }
    tickShown_ = true;
    // Keep the beat while on time; after a late frame start a new one.
    next_ += interval_;
    if (next_ < end) {
        next_ = end;
    }
}

uint64_t FramePacer::NextWake(uint64_t now, uint64_t nextTimer) const {
    if (now < next_) {
        return next_;
    }
    // Due but dropped: the next frame is the next tick's.
    return Due(now, nextTimer) ? now : lastTick_ + tick_;
}

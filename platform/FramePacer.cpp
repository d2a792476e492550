#include "platform/FramePacer.h"

#include <algorithm>

void FramePacer::Start(uint64_t intervalUs, uint64_t tickUs, uint64_t now) {
    interval_ = std::max<uint64_t>(intervalUs, 1);
    tick_ = tickUs;
    next_ = now;
    lastTick_ = now;
    cost_ = 0;
    tickShown_ = true;
}

void FramePacer::TickRan(uint64_t now) {
    lastTick_ = now;
    tickShown_ = false;
}

bool FramePacer::Due(uint64_t now) const {
    if (now < next_) {
        return false;
    }
    // A new tick's picture is always shown; a frame between ticks only
    // when it will be done before the next tick.
    return !tickShown_ || now + cost_ <= lastTick_ + tick_;
}

void FramePacer::Drawn(uint64_t start, uint64_t end, bool drew) {
    if (drew) {
        const uint64_t took = end > start ? end - start : 0;
        cost_ = cost_ == 0 ? took : (cost_ * 3 + took) / 4;
    }
    tickShown_ = true;
    // Keep the beat while on time; after a late frame start a new one.
    next_ += interval_;
    if (next_ < end) {
        next_ = end;
    }
}

uint64_t FramePacer::NextWake(uint64_t now) const {
    if (now < next_) {
        return next_;
    }
    // Due but dropped: the next frame is the next tick's.
    return Due(now) ? now : lastTick_ + tick_;
}

#include "platform/FixedStepTimers.h"

#include <algorithm>

void FixedStepTimers::Set(Dialog* owner, unsigned id, uint64_t periodUs, uint64_t now) {
    Kill(owner, id);
    const uint64_t period = std::max<uint64_t>(periodUs, 1);
    timers_.push_back(Timer{owner, id, period, now + period});
}

void FixedStepTimers::Kill(Dialog* owner, unsigned id) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.owner == owner && t.id == id; }),
                  timers_.end());
}

void FixedStepTimers::KillAll(Dialog* owner) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [owner](const Timer& t) { return t.owner == owner; }),
                  timers_.end());
}

bool FixedStepTimers::PopDue(uint64_t now, Dialog*& owner, unsigned& id) {
    auto due = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->due <= now && (due == timers_.end() || it->due < due->due)) {
            due = it;
        }
    }
    if (due == timers_.end()) {
        return false;
    }
    due->due = now - due->due > kMaxLagUs ? now + due->period : due->due + due->period;
    owner = due->owner;
    id = due->id;
    return true;
}

uint64_t FixedStepTimers::NextDue() const {
    uint64_t next = UINT64_MAX;
    for (const Timer& t : timers_) {
        next = std::min(next, t.due);
    }
    return next;
}

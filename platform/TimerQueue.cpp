#include "platform/TimerQueue.h"

#include <algorithm>

void TimerQueue::Set(Dialog* owner, unsigned id, uint64_t period, uint64_t now) {
    if (period == 0) {
        period = 1;
    }
    for (Timer& t : timers_) {
        if (t.owner == owner && t.id == id) {
            t.period = period;
            t.due = now + period;
            return;
        }
    }
    timers_.push_back(Timer{owner, id, period, now + period, nextOrder_++});
}

void TimerQueue::Kill(Dialog* owner, unsigned id) {
    std::erase_if(timers_, [&](const Timer& t) { return t.owner == owner && t.id == id; });
}

void TimerQueue::KillAll(Dialog* owner) {
    std::erase_if(timers_, [&](const Timer& t) { return t.owner == owner; });
}

uint64_t TimerQueue::NextDue() const {
    uint64_t best = UINT64_MAX;
    for (const Timer& t : timers_) {
        best = std::min(best, t.due);
    }
    return best;
}

bool TimerQueue::PopDue(uint64_t now, Timer& fired) {
    Timer* best = nullptr;
    for (Timer& t : timers_) {
        if (t.due > now) {
            continue;
        }
        if (best == nullptr || t.due < best->due || (t.due == best->due && t.order < best->order)) {
            best = &t;
        }
    }
    if (best == nullptr) {
        return false;
    }
    fired = *best;
    best->due += best->period;
    if (best->due <= now) {
        best->due = now + best->period;  // fell behind: skip the missed periods
    }
    return true;
}

bool TimerQueue::Has(const Dialog* owner, unsigned id) const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.owner == owner && t.id == id; });
}

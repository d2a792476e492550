#pragma once

#include <cstdint>
#include <vector>

class Dialog;

// Window timers of one event loop, in the classic semantics: each timer
// fires every period; one that fell behind fires once and is then scheduled
// a full period after that moment, never in a burst. Times are in the
// loop's own units (microseconds for the real clock, milliseconds for
// virtual time); due times advance by the period, so they do not drift.
class TimerQueue {
  public:
    struct Timer {
        Dialog* owner = nullptr;
        unsigned id = 0;
        uint64_t period = 0;
        uint64_t due = 0;
        uint64_t order = 0;  // creation order breaks ties
    };

    // Starts or replaces timer (owner, id).
    void Set(Dialog* owner, unsigned id, uint64_t period, uint64_t now);
    void Kill(Dialog* owner, unsigned id);
    void KillAll(Dialog* owner);
    bool Empty() const { return timers_.empty(); }
    // Earliest due time; only meaningful when not Empty.
    uint64_t NextDue() const;
    // The earliest timer due at or before now, rescheduled; false when none is due.
    bool PopDue(uint64_t now, Timer& fired);
    // Timers owned by the dialog, for tests.
    bool Has(const Dialog* owner, unsigned id) const;

  private:
    std::vector<Timer> timers_;
    uint64_t nextOrder_ = 0;
};

#pragma once

#include <cstdint>
#include <vector>

class Dialog;

// Window timers for a loop that looks at the clock only once a display
// frame (the web page's animation frames): each timer fires every period on
// average however the frames fall, several times in one frame when a frame
// came late, but never in a burst after a long stall (a hidden tab, a long
// wait): one that fell more than kMaxLagUs behind starts again from then.
// Times in microseconds.
class FixedStepTimers {
  public:
    static constexpr uint64_t kMaxLagUs = 200000;

    // Starts or replaces timer (owner, id); it first fires a period from now.
    void Set(Dialog* owner, unsigned id, uint64_t periodUs, uint64_t now);
    void Kill(Dialog* owner, unsigned id);
    void KillAll(Dialog* owner);
    // The earliest timer due at now, stepped on to its next time; false when
    // none is due. The loop calls it again after each timer has run (which
    // may set or kill timers), up to as many times as a frame allows.
    bool PopDue(uint64_t now, Dialog*& owner, unsigned& id);
    // When the earliest timer is due; UINT64_MAX without any.
    uint64_t NextDue() const;

  private:
    struct Timer {
        Dialog* owner = nullptr;
        unsigned id = 0;
        uint64_t period = 0;
        uint64_t due = 0;
    };
    std::vector<Timer> timers_;
};

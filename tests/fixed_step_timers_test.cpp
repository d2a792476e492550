// The web page's timers: ticks at their pace however the animation frames fall.
#include <gtest/gtest.h>

#include "platform/FixedStepTimers.h"

namespace {

// Runs frames `frameUs` apart from 0 to `untilUs` (with an optional stall:
// no frame from stallFrom to stallTo), firing at most perFrame timers a
// frame; answers how many times the one 40 ms timer fired.
int Fired(uint64_t frameUs, uint64_t untilUs, int perFrame, uint64_t stallFrom = 0,
          uint64_t stallTo = 0) {
    FixedStepTimers timers;
    timers.Set(nullptr, 1, 40000, 0);
    int fired = 0;
    for (uint64_t now = 0; now <= untilUs; now += frameUs) {
        if (now > stallFrom && now < stallTo) {
            continue;
        }
        Dialog* owner = nullptr;
        unsigned id = 0;
        for (int n = 0; n < perFrame && timers.PopDue(now, owner, id); ++n) {
            ++fired;
        }
    }
    return fired;
}

}  // namespace

TEST(FixedStepTimers, KeepTheTickPaceAtAnyFrameRateWithoutCatchingUpAStall) {
    const struct {
        const char* what;
        uint64_t frameUs;
        uint64_t stallFrom, stallTo;
        int fired;
    } cases[] = {
        {"60 frames a second", 16667, 0, 0, 25},
        {"144 frames a second", 6944, 0, 0, 25},
        {"slow frames: two ticks in some", 70000, 0, 0, 24},
        // Six seconds with the tab hidden for five of them: 7 ticks before,
        // one when it shows again and the pace from there (17 more), not the
        // 125 it missed.
        {"a five-second stall", 16667, 300000, 5300000, 7 + 1 + 17},
    };
    for (const auto& c : cases) {
        // One second of play; the stalled case plays for six and loses five.
        const uint64_t until = c.stallTo > 0 ? 6000000 : 1000000;
        EXPECT_NEAR(Fired(c.frameUs, until, 4, c.stallFrom, c.stallTo), c.fired, 1) << c.what;
    }
}

TEST(FixedStepTimers, EarliestFirstAndGoneOnceKilled) {
    FixedStepTimers timers;
    Dialog* const a = nullptr;
    auto* const b = reinterpret_cast<Dialog*>(&timers);  // only compared, never used
    timers.Set(a, 1, 1000000, 0);
    timers.Set(b, 2, 40000, 0);
    Dialog* owner = nullptr;
    unsigned id = 0;
    ASSERT_TRUE(timers.PopDue(1000000, owner, id));
    EXPECT_EQ(owner, b);  // the 40 ms timer was due long before the second one
    timers.KillAll(b);
    ASSERT_TRUE(timers.PopDue(1000000, owner, id));
    EXPECT_EQ(id, 1u);
    timers.Kill(a, 1);
    EXPECT_FALSE(timers.PopDue(9000000, owner, id));
}

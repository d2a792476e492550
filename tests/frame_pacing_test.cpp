// Frames between ticks: when the loop draws them, and what they show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/FramePacer.h"
#include "platform/Keys.h"
#include "support/GameHarness.h"

namespace {

// Runs a second of 40 ms ticks with frames of `cost` us at most `interval`
// us apart, as a loop would: answers the frames drawn.
int FramesInASecond(uint64_t interval, uint64_t cost) {
    FramePacer pacer;
    pacer.Start(interval, 40000, 0);
    int drawn = 0;
    for (uint64_t tick = 0; tick < 1000000; tick += 40000) {
        pacer.TickRan(tick);
        for (uint64_t now = tick; now < tick + 40000;) {
            if (pacer.Due(now)) {
                pacer.Drawn(now, now + cost);
                ++drawn;
                now += cost;
            } else {
                now = std::min(pacer.NextWake(now), tick + 40000);
            }
        }
    }
    return drawn;
}

}  // namespace

TEST(FramePacer, DrawsAtTheCapAndDropsFramesRatherThanDelayTheTick) {
    const struct {
        uint64_t interval, cost;
        int frames;
    } cases[] = {
        {16667, 2000, 60},   // 60 Hz, cheap frames
        {8333, 2000, 120},   // 120 Hz
        {16667, 30000, 25},  // frames dearer than the gap to the next tick: the ticks' own only
        {40000, 2000, 25},   // --frame-rate 25
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(FramesInASecond(c.interval, c.cost), c.frames, 1)
            << c.interval << " " << c.cost;
    }
}

TEST(FramesBetweenTicks, AtHalfATickTheMainWindowDrawsTheHeroAndEnemiesHalfway) {
    GameHarness h;
    h.window->SetFrameRate(0);
    h.StartPlaying();
    h.Press(VK_UP);
    h.Press(VK_LEFT);
    h.Tick(3);
    const int swaps = h.sys.SwapCount();
    h.sys.AdvanceTime(20);
    h.window->OnFrame();
    EXPECT_EQ(h.sys.SwapCount(), swaps + 1) << "frames between ticks are drawn by OnFrame only";
    const Game& g = h.game();
    const FrameState& a = g.ShownBefore();
    const FrameState& b = g.Shown();
    const FrameState& m = g.Drawn();
    ASSERT_NE(a.hero.at.x, b.hero.at.x);
    EXPECT_FLOAT_EQ(m.hero.at.x, (a.hero.at.x + b.hero.at.x) / 2);
    EXPECT_FLOAT_EQ(m.hero.at.y, (a.hero.at.y + b.hero.at.y) / 2);
    ASSERT_FALSE(m.enemies.empty());
    EXPECT_FLOAT_EQ(m.enemies[0].position.x,
                    (a.enemies[0].position.x + b.enemies[0].position.x) / 2);
    // A frame that would show the same picture again is not drawn.
    h.window->OnFrame();
    EXPECT_EQ(h.sys.SwapCount(), swaps + 1);
}

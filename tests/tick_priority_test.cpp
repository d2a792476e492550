// The desktop's and the page's real loops at virtual time, drawing frames at
// full rate: every tick runs when it is due, never behind a frame that could
// have been left out, and never in a burst beyond the loop's own rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/Dialog.h"
#include "platform/FixedStepTimers.h"
#include "platform/FrameLoop.h"
#include "platform/LoopClock.h"
#include "platform/linux/SdlSystem.h"

namespace {

constexpr uint64_t kTickUs = 40000;
// A 59.94 Hz display: its frames drift against the ticks, so a run meets
// every phase between the two.
constexpr uint64_t kRefreshUs = 16683;
constexpr size_t kTicks = 300;
constexpr size_t kStallTick = 150;
// The loops learn what a frame costs from the frames they draw: the first
// ticks, before any such frame, are not judged.
constexpr size_t kWarmUpTicks = 3;
// A virtual wait is exact, so the desktop loop's only slack is one step of
// its spin before a due time.
constexpr uint64_t kYieldUs = 10;
constexpr uint64_t kDesktopSlackUs = kYieldUs;
// The page looks at the clock once an animation frame: a tick due just after
// one waits for the next.
constexpr uint64_t kPageSlackUs = kRefreshUs;

const DialogTemplate kTicker{990, "", 10, 10, false, false, {}};

// Virtual time: a wait moves it on by what was asked, a frame by its cost,
// the page's wait for a frame to the display's next refresh.
class VirtualClock : public LoopClock {
  public:
    uint64_t now = 1234567;  // any phase against the display
    uint64_t NowUs() override { return now; }
    void SleepUs(uint64_t us) override { now += us; }
    void Yield() override { now += kYieldUs; }
    bool NextFrame() override {
        now = (now / kRefreshUs + 1) * kRefreshUs;
        return true;
    }
    // A swap with vsync: done at the first refresh from now.
    void WaitForRefresh() { now = (now + kRefreshUs - 1) / kRefreshUs * kRefreshUs; }
};

struct Case {
    const char* name;
    uint64_t drawUs;   // one frame's drawing
    bool vsync;        // the desktop's swap waits for the display
    uint64_t stallUs;  // the tick kStallTick takes this long (a lost life's pause)
    uint64_t runUs;    // what every other tick takes
};

// What the loop did, in virtual time: when each tick ran, and what kept it
// busy (ticks, frames), with whether the loop could have left it out.
struct Busy {
    uint64_t start, end;
    bool skippable;  // a frame between ticks, not a tick's own picture
    bool frame;
};

// The dialog the loop runs: a 40 ms timer whose ticks count and may stall,
// and a frame source that always has a new picture to draw.
class Ticker : public Dialog {
  public:
    Ticker(VirtualClock& clock, const Case& c) : Dialog(kTicker), clock_(clock), case_(c) {}
    std::function<void()> onInit, onTick, onDestroy;
    uint64_t firstDue = 0;
    std::vector<uint64_t> fired;
    std::vector<Busy> busy;

    bool OnInitDialog() override {
        onInit();
        return true;
    }
    void OnTimer(unsigned) override {
        const uint64_t start = clock_.now;
        fired.push_back(start);
        clock_.now += fired.size() == kStallTick ? case_.stallUs : case_.runUs;
        busy.push_back({start, clock_.now, false, false});
        onTick();
        shown_ = false;
        if (fired.size() == kTicks) {
            EndDialog(IDOK);
        }
    }
    bool OnFrame() override {
        const uint64_t start = clock_.now;
        clock_.now += case_.drawUs;
        if (case_.vsync) {
            clock_.WaitForRefresh();
        }
        busy.push_back({start, clock_.now, shown_, true});
        shown_ = true;
        return true;
    }
    void OnDestroy() override {
        if (onDestroy) {
            onDestroy();
        }
    }

  private:
    VirtualClock& clock_;
    const Case& case_;
    bool shown_ = true;
};

// Checks each tick against when the loop's rule made it due (nextDue gives
// the due time after a tick ran), and prints the lateness at the 99th
// percentile. A tick may be late only while the loop was busy with what it
// could not leave out (gaps up to slack between), then by at most slack.
void ExpectTicksOnTime(const char* loop, const Case& c, const Ticker& t, uint64_t slack,
                       const std::function<uint64_t(uint64_t due, uint64_t fired)>& nextDue) {
    ASSERT_EQ(t.fired.size(), kTicks) << c.name;
    std::vector<uint64_t> lateness;
    size_t delayed = 0;
    uint64_t due = t.firstDue;
    for (size_t k = 0; k < t.fired.size(); due = nextDue(due, t.fired[k]), ++k) {
        ASSERT_GE(t.fired[k], due) << loop << ", " << c.name << ": tick " << k << " ran early";
        uint64_t excused = due;
        for (const Busy& b : t.busy) {
            if (!b.skippable && b.start < excused + slack && excused < b.end) {
                excused = b.end;
            }
        }
        if (k >= kWarmUpTicks && t.fired[k] > excused + slack && delayed++ == 0) {
            ADD_FAILURE() << loop << ", " << c.name << ": tick " << k << " due at " << due
                          << " ran at " << t.fired[k] << ", behind a frame it could leave out";
        }
        lateness.push_back(t.fired[k] - due);
    }
    EXPECT_EQ(delayed, 0u) << loop << ", " << c.name << ": ticks delayed by a frame";
    std::sort(lateness.begin(), lateness.end());
    const auto frames =
        std::count_if(t.busy.begin(), t.busy.end(), [](const Busy& b) { return b.frame; });
    std::printf("%s, %s: lateness p99 %.2f ms, max %.2f ms; %.1f frames a tick\n", loop, c.name,
                static_cast<double>(lateness[lateness.size() * 99 / 100]) / 1000.0,
                static_cast<double>(lateness.back()) / 1000.0,
                static_cast<double>(frames) / static_cast<double>(kTicks));
}

// The desktop's rule: a tick that fell behind runs once, the next a full
// period after it.
uint64_t DesktopNextDue(uint64_t due, uint64_t fired) {
    return due + kTickUs > fired ? due + kTickUs : fired + kTickUs;
}

// The page's: ticks catch up on a fixed step unless they fell too far behind.
uint64_t PageNextDue(uint64_t due, uint64_t fired) {
    return fired - due > FixedStepTimers::kMaxLagUs ? fired + kTickUs : due + kTickUs;
}

}  // namespace

TEST(TickPriority, TheDesktopLoopRunsEachTickWhenDueWhileDrawingAtFullRate) {
    const Case cases[] = {
        {"cheap frames with vsync", 2000, true, 0, 0},
        {"cheap frames without vsync", 2000, false, 0, 0},
        {"frames near a tick", 37000, false, 0, 0},
        {"frames near a tick with vsync", 30000, true, 0, 0},
        {"frames longer than a tick", 55000, false, 0, 0},
        {"a one-second stall", 2000, true, 1000000, 0},
        {"ticks of 8 ms", 2000, true, 0, 8000},
    };
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    for (const Case& c : cases) {
        VirtualClock clock;
        SdlSystem sys;
        ASSERT_TRUE(sys.Init()) << sys.LastError();
        SetSys(&sys);
        sys.SetLoopClock(&clock);
        Ticker t(clock, c);
        t.onInit = [&] {
            t.firstDue = clock.now + kTickUs;
            t.SetTimer(1, kTickUs / 1000);
            sys.SetFrameSource(&t, 60, kTickUs / 1000);
        };
        t.onTick = [&] { sys.TickRan(); };
        t.onDestroy = [&] { sys.SetFrameSource(nullptr, 0, kTickUs / 1000); };
        t.DoModal();
        SetSys(nullptr);
        ExpectTicksOnTime("desktop", c, t, kDesktopSlackUs, DesktopNextDue);
    }
}

TEST(TickPriority, ThePageLoopRunsEachTickWhenDueWhileDrawingAtFullRate) {
    const Case cases[] = {
        {"cheap frames", 2000, false, 0, 0},
        {"frames near a tick", 37000, false, 0, 0},
        {"frames longer than a frame interval", 20000, false, 0, 0},
        {"frames longer than a tick", 55000, false, 0, 0},
        {"a stall the ticks catch up", 2000, false, 150000, 0},
        {"a one-second stall", 2000, false, 1000000, 0},
        {"ticks of 8 ms", 2000, false, 0, 8000},
    };
    for (const Case& c : cases) {
        struct Host : FrameLoop::Host {
            Dialog* source = nullptr;
            void HandleEvents(Dialog&) override {}
            Dialog* FrameSource() override { return source; }
            void FrameDone() override {}
        } host;
        VirtualClock clock;
        FrameLoop loop(host, clock);
        Ticker t(clock, c);
        t.onTick = [] {};
        t.firstDue = clock.now + kTickUs;
        loop.SetTimer(t, 1, kTickUs / 1000);
        host.source = &t;
        loop.Run(t);
        ExpectTicksOnTime("page", c, t, kPageSlackUs, PageNextDue);
    }
}

// Real tick period of the SDL backend's 40 ms window timer: 250 ticks of a
// hidden dialog, the intervals measured on the steady clock. Prints the
// median and the 99th percentile of the deviation from 40 ms, and the drift
// over the whole run.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/Dialog.h"
#include "platform/linux/SdlSystem.h"

namespace {

constexpr int kTicks = 250;
constexpr unsigned kPeriodMs = 40;

const DialogTemplate kTicker{1, "ticker", 10, 10, false, false, {}};

class Ticker : public Dialog {
  public:
    Ticker() : Dialog(kTicker) {}
    std::vector<std::chrono::steady_clock::time_point> times;

    bool OnInitDialog() override {
        times.reserve(kTicks + 1);
        times.push_back(std::chrono::steady_clock::now());
        SetTimer(17682, kPeriodMs);
        return true;
    }
    void OnTimer(unsigned) override {
        times.push_back(std::chrono::steady_clock::now());
        if (static_cast<int>(times.size()) > kTicks) {
            EndDialog(IDOK);
        }
    }
};

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(std::ceil(p * v.size())) - 1);
    return v[i];
}

}  // namespace

int main() {
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    SdlSystem sys;
    if (!sys.Init()) {
        std::fprintf(stderr, "bench_tick_period: %s\n", sys.LastError().c_str());
        return 1;
    }
    SetSys(&sys);
    Ticker ticker;
    ticker.DoModal();
    SetSys(nullptr);

    std::vector<double> deviation;
    for (size_t i = 1; i < ticker.times.size(); ++i) {
        const double ms =
            std::chrono::duration<double, std::milli>(ticker.times[i] - ticker.times[i - 1])
                .count();
        deviation.push_back(std::fabs(ms - kPeriodMs));
    }
    const double total =
        std::chrono::duration<double, std::milli>(ticker.times.back() - ticker.times.front())
            .count();
    const double median = Percentile(deviation, 0.5);
    const double p99 = Percentile(deviation, 0.99);
    std::printf("ticks: %zu of %u ms\n", deviation.size(), kPeriodMs);
    std::printf("median deviation: %.3f ms (target 0.5)\n", median);
    std::printf("99th percentile deviation: %.3f ms (target 2.0)\n", p99);
    std::printf("drift over the run: %.3f ms\n", total - kTicks * double(kPeriodMs));
    const bool ok = median <= 0.5 && p99 <= 2.0;
    std::printf("%s\n", ok ? "within targets" : "OUTSIDE TARGETS");
    return ok ? 0 : 2;
}

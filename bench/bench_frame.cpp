// One whole playing frame against the 40 ms tick: the main window's timer
// tick (keys, world update, drawing, swap) on the offscreen software
// renderer at two window sizes. glFinish after each tick makes the renderer
// finish the frame inside the measured time. Every timed tick starts on the
// playing screen: whenever a tick leaves it (a life lost, a level cleared),
// a fresh game is started outside the timing, so no title frame (far
// cheaper) and no name dialog ever gets into the figure, however many
// frames are timed. The library's time is that of the timed ticks alone.
// Reports the median, 90th and 99th percentile per frame, the median CPU
// time of all threads per frame, and counts the timed frames by screen.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "app/MainWindow.h"
#include "bench/PlayingGame.h"
#include "platform/Keys.h"
#include "platform/virtual/VirtualSystem.h"

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Percentile(const std::vector<double>& sorted, double p) {
    return sorted[std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()))];
}

void BM_PlayingFrame(benchmark::State& state) {
    VirtualSystem::Options options;
    options.desktopWidth = static_cast<int>(state.range(0));
    options.desktopHeight = static_cast<int>(state.range(1));
    VirtualSystem sys(options);
    SetSys(&sys);
    std::vector<double> times;
    std::vector<double> cpuTimes;  // all threads' CPU time per frame, which load inflates less
    int games = 0;
    int otherScreen = 0;
    {
        std::unique_ptr<MainWindow> window;
        StartPlayingGame(sys, window);
        ++games;
        int tick = 0;
        for (auto _ : state) {
            if (!OnPlayingScreen(window->game)) {
                state.PauseTiming();
                StartPlayingGame(sys, window);
                ++games;
                tick = 0;
                state.ResumeTiming();
            }
            // A bomb every 20 ticks, as a player drops them.
            if (tick % 20 == 0) {
                sys.KeyDown(VK_CONTROL);
            } else if (tick % 20 == 1) {
                sys.KeyUp(VK_CONTROL);
            }
            ++tick;
            // The guard above makes this impossible; counted so the output proves it.
            if (!OnPlayingScreen(window->game)) {
                ++otherScreen;
            }
            const double cpuStart = ProcessCpuSeconds();
            const auto start = std::chrono::steady_clock::now();
            sys.RunTicks(1);
            glFinish();
            const auto end = std::chrono::steady_clock::now();
            const std::chrono::duration<double> frame = end - start;
            state.SetIterationTime(frame.count());
            times.push_back(frame.count() * 1e3);
            cpuTimes.push_back((ProcessCpuSeconds() - cpuStart) * 1e3);
        }
        sys.Close();
    }
    SetSys(nullptr);
    if (times.empty()) {
        return;
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = Percentile(times, 0.5);
    state.counters["p90_ms"] = Percentile(times, 0.9);
    state.counters["p99_ms"] = Percentile(times, 0.99);
    std::sort(cpuTimes.begin(), cpuTimes.end());
    state.counters["cpu_median_ms"] = Percentile(cpuTimes, 0.5);
    state.counters["playing_frames"] = static_cast<double>(times.size() - otherScreen);
    state.counters["other_frames"] = otherScreen;
    state.counters["games"] = games;
    state.SetLabel(otherScreen == 0 ? "screen: playing" : "screen: MIXED");
}
BENCHMARK(BM_PlayingFrame)
    ->Args({1920, 1080})
    ->Args({1280, 720})
    ->Unit(benchmark::kMillisecond)
    // The time reported is the frames' wall time, not the main thread's
    // CPU time: llvmpipe rasterises on threads of its own.
    ->UseManualTime()
    // As many frames as bench_game_x times of the game on X, in one run.
    ->Iterations(500);

}  // namespace

BENCHMARK_MAIN();

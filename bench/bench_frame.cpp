// One whole playing frame against the 40 ms tick: the main window's timer
// tick (keys, world update, drawing, swap) on the offscreen software
// renderer at two window sizes. glFinish after each tick makes the renderer
// finish the frame inside the measured time. Reports the median per frame.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/MainWindow.h"
#include "platform/Keys.h"
#include "platform/virtual/VirtualSystem.h"

namespace {

void BM_PlayingFrame(benchmark::State& state) {
    VirtualSystem::Options options;
    options.desktopWidth = static_cast<int>(state.range(0));
    options.desktopHeight = static_cast<int>(state.range(1));
    VirtualSystem sys(options);
    SetSys(&sys);
    std::vector<double> times;
    {
        MainWindow window;
        sys.Open(window);
        sys.KeyDown(VK_SPACE);
        sys.KeyUp(VK_SPACE);
        // Walking in circles and dropping a bomb now and then keeps the
        // hero, the enemies, bombs and their blasts on screen.
        sys.KeyDown(VK_UP);
        sys.KeyDown(VK_LEFT);
        sys.RunTicks(5);
        glFinish();
        int tick = 0;
        for (auto _ : state) {
            if (tick % 20 == 0) {
                sys.KeyDown(VK_CONTROL);
            } else if (tick % 20 == 1) {
                sys.KeyUp(VK_CONTROL);
            }
            ++tick;
            const auto start = std::chrono::steady_clock::now();
            sys.RunTicks(1);
            glFinish();
            const auto end = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
        sys.Close();
    }
    SetSys(nullptr);
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        state.counters["median_ms"] = times[times.size() / 2];
        state.counters["p90_ms"] = times[times.size() * 9 / 10];
    }
}
BENCHMARK(BM_PlayingFrame)
    ->Args({1920, 1080})
    ->Args({1280, 720})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();

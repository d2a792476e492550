// What F12 costs the game: the real main window and game at virtual time on
// the offscreen software renderer at 1920 x 1080, playing, with F12 pressed
// before every 30th tick. Each tick is timed from the timer call to the
// finished frame (glFinish), as bench_frame times it. The pause a shot puts
// into play is the F12 tick's time over a plain tick's, in 40 ms ticks; the
// ticks right after a shot are timed apart, since they share the machine
// with whatever the shot leaves running. The PNG files' sizes come last,
// after the main window has closed (all shots written). Run it in a scratch
// copy of the game's files (bench/run does): the shots land there.
//   bench_screenshot [SHOTS]    (default 10)
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/MainWindow.h"
#include "bench/PlayingGame.h"
#include "platform/Keys.h"
#include "platform/virtual/VirtualSystem.h"

namespace {

constexpr int kTicksBetweenShots = 30;
constexpr int kTicksAfterShot = 5;  // timed apart from the plain ones
constexpr double kTickMs = 40.0;

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0.0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int shots = argc > 1 ? std::atoi(argv[1]) : 10;
    if (shots < 1) {
        std::fprintf(stderr, "usage: bench_screenshot [SHOTS]\n");
        return 2;
    }
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        if (entry.path().filename().string().rfind("quorvax-", 0) == 0 &&
            entry.path().extension() == ".png") {
            std::fprintf(stderr, "bench_screenshot: run it where there are no shots yet\n");
            return 2;
        }
    }
    VirtualSystem::Options options;
    options.desktopWidth = 1920;
    options.desktopHeight = 1080;
    VirtualSystem sys(options);
    SetSys(&sys);
    std::vector<double> plain, shot, after;
    double lastShotToClose = 0.0;
    {
        std::unique_ptr<MainWindow> window;
        StartPlayingGame(sys, window);
        int sinceShot = kTicksBetweenShots;
        int taken = 0;
        while (taken < shots) {
            if (!OnPlayingScreen(window->game)) {
                StartPlayingGame(sys, window);
            }
            const bool f12 = sinceShot >= kTicksBetweenShots;
            if (f12) {
                sys.KeyDown(VK_F12);
                sinceShot = 0;
            }
            // A bomb now and then keeps blasts in the picture.
            if (sinceShot == 10) {
                sys.KeyDown(VK_CONTROL);
            } else if (sinceShot == 11) {
                sys.KeyUp(VK_CONTROL);
            }
            const auto start = std::chrono::steady_clock::now();
            sys.RunTicks(1);
            glFinish();
            const std::chrono::duration<double, std::milli> ms =
                std::chrono::steady_clock::now() - start;
            if (f12) {
                sys.KeyUp(VK_F12);
                shot.push_back(ms.count());
                ++taken;
            } else if (sinceShot <= kTicksAfterShot) {
                after.push_back(ms.count());
            } else {
                plain.push_back(ms.count());
            }
            ++sinceShot;
        }
        // Closing the window finishes every shot still being written.
        const auto start = std::chrono::steady_clock::now();
        sys.Close();
        lastShotToClose =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    SetSys(nullptr);

    std::vector<double> sizes;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("quorvax-", 0) == 0 && entry.path().extension() == ".png") {
            sizes.push_back(static_cast<double>(entry.file_size()));
        }
    }
    const double extra = Median(shot) - Median(plain);
    std::printf("window: 1920x1080, %zu shots\n", shot.size());
    std::printf("plain tick median: %.1f ms (%zu ticks)\n", Median(plain), plain.size());
    std::printf("F12 tick median: %.1f ms, longest %.1f ms\n", Median(shot),
                *std::max_element(shot.begin(), shot.end()));
    std::printf("F12 pause: %.1f ms = %.2f ticks of %.0f ms\n", extra, extra / kTickMs, kTickMs);
    std::printf("ticks 1-%d after F12 median: %.1f ms\n", kTicksAfterShot, Median(after));
    std::printf("closing the window (shots still pending written): %.1f ms\n", lastShotToClose);
    std::printf("PNG files: %zu, median size %.0f bytes (%.2f MB)\n", sizes.size(), Median(sizes),
                Median(sizes) / 1e6);
    return sizes.size() == shot.size() ? 0 : 1;
}

// The real game on an X display, for bench/run: SDL's windows and event
// loop, its 40 ms timer, the main window over the whole display, the
// OpenGL swap and the sound thread with the song's synthesiser, started as
// app/main.cpp starts them. Only the main window is a subclass: it times
// each whole tick (key actions, world, drawing, buffer swap) and plays by
// pushing key events into SDL's queue, so they take the game's own input
// path. Counted are the ticks that begin and end on the playing screen;
// a tick that loses a life or clears a level holds the game's own pause
// and is left out, as are the title ticks and those behind the name dialog.
// Prints the frame median and 99th percentile, and the process's CPU time
// (all threads) over the counted ticks' periods: per second of wall time
// and per tick. With frames between ticks (the game's default) a frame is
// one drawing with its swap, and the frames drawn and the distinct ones
// (the hero or the camera moved) are counted per second of play, beside
// the deviation of the tick period from 40 ms; with --frame-rate tick a
// frame is the whole tick as before.
//   bench_game_x [PLAYING_TICKS] [--frame-rate tick|N]
//   (default 500 ticks at the display's rate; run it where the game's files are)
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "bench/PlayingGame.h"
#include "platform/MidiOut.h"
#include "platform/linux/AudioOutputSdl.h"
#include "platform/linux/SdlSystem.h"

namespace {

using Clock = std::chrono::steady_clock;

// A run that sees this many ticks per wanted one gives up instead of hanging.
constexpr int kGiveUpFactor = 10;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void PushKey(SDL_Keycode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&event);
}

void PressKey(SDL_Keycode key) {
    PushKey(key, true);
    PushKey(key, false);
}

struct Counts {
    std::vector<double> frames;         // milliseconds of each counted tick or frame
    std::vector<double> tickDeviation;  // |period - 40 ms| of the counted ticks
    int countedTicks = 0;
    int framesDrawn = 0;     // frames between ticks drawn while counting
    int distinctFrames = 0;  // of those, the ones that showed a new picture
    int leftPlaying = 0;     // ticks that lost a life or cleared a level
    int titleTicks = 0;
    int nestedTicks = 0;  // behind the name dialog
    int newGames = 0;
    double playSeconds = 0.0;  // the counted ticks' periods, tick start to tick start
    double playCpuSeconds = 0.0;
    int width = 0;
    int height = 0;
};

// Whether two drawn frames show the same hero from the same camera.
bool SamePicture(const FrameState& a, const FrameState& b) {
    return std::memcmp(&a.hero, &b.hero, sizeof a.hero) == 0 &&
           std::memcmp(&a.eye, &b.eye, sizeof a.eye) == 0 &&
           std::memcmp(&a.center, &b.center, sizeof a.center) == 0;
}

class TimedMainWindow : public MainWindow {
  public:
    TimedMainWindow(int wanted, int frameRate) : wanted_(wanted), perTick_(frameRate < 0) {
        counts.frames.reserve(wanted * 8);
        SetFrameRate(frameRate);
    }

    bool OnFrame() override {
        const Clock::time_point start = Clock::now();
        // OnFrame leaves out a frame that would show the last one again.
        const bool drew = MainWindow::OnFrame();
        if (!drew || !lastCounted_ || game.Drawn().title) {
            return drew;
        }
        if (!SamePicture(game.Drawn(), lastDrawn_)) {
            ++counts.distinctFrames;
            lastDrawn_ = game.Drawn();
        }
        ++counts.framesDrawn;
        counts.frames.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        return true;
    }

    void OnTimer(unsigned id) override {
        if (inTick_) {
            // The name dialog's loop runs the main window's ticks while it
            // is open (the game is over): Enter takes the default name.
            ++counts.nestedTicks;
            PressKey(SDLK_RETURN);
            MainWindow::OnTimer(id);
            return;
        }
        const Clock::time_point start = Clock::now();
        const double cpu = CpuSeconds();
        if (lastCounted_) {
            counts.playSeconds += std::chrono::duration<double>(start - lastStart_).count();
            counts.playCpuSeconds += cpu - lastCpu_;
        }
        if (counts.countedTicks >= wanted_ || ticks_ >= wanted_ * kGiveUpFactor) {
            EndDialog(IDCANCEL);
            return;
        }
        ++ticks_;
        const bool playing = OnPlayingScreen(game);
        inTick_ = true;
        MainWindow::OnTimer(id);
        inTick_ = false;
        const Clock::time_point end = Clock::now();
        if (lastCounted_ && playing && OnPlayingScreen(game)) {
            const double period =
                std::chrono::duration<double, std::milli>(start - lastStart_).count();
            counts.tickDeviation.push_back(std::fabs(period - kFramePeriodMs));
        }
        lastCounted_ = playing && OnPlayingScreen(game);
        if (lastCounted_) {
            ++counts.countedTicks;
            if (perTick_) {
                counts.frames.push_back(
                    std::chrono::duration<double, std::milli>(end - start).count());
            }
            lastStart_ = start;
            lastCpu_ = cpu;
        } else if (playing) {
            ++counts.leftPlaying;
        } else {
            ++counts.titleTicks;
        }
        Play();
    }

    Counts counts;

  private:
    // Keys for the next tick: SPACE on a title screen (it clears the held
    // keys, so they are pressed again), then the hero walks in circles and
    // drops a bomb every 20 ticks, keeping enemies, bombs and blasts in view.
    void Play() {
        if (game.waitingForStart) {
            if (game.gameOver) {
                ++counts.newGames;
            }
            PressKey(SDLK_SPACE);
            PushKey(SDLK_UP, true);
            PushKey(SDLK_LEFT, true);
            phase_ = 0;
            return;
        }
        if (phase_ % 20 == 0) {
            PushKey(SDLK_LCTRL, true);
        } else if (phase_ % 20 == 1) {
            PushKey(SDLK_LCTRL, false);
        }
        ++phase_;
    }

    const int wanted_;
    const bool perTick_;
    FrameState lastDrawn_;
    int ticks_ = 0;
    int phase_ = 0;
    bool inTick_ = false;
    bool lastCounted_ = false;
    Clock::time_point lastStart_;
    double lastCpu_ = 0.0;
};

double Percentile(const std::vector<double>& sorted, double p) {
    return sorted[std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()))];
}

}  // namespace

int main(int argc, char** argv) {
    int wanted = 500;
    int frameRate = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frame-rate" && i + 1 < argc) {
            const std::string value = argv[++i];
            frameRate = value == "tick" ? MainWindow::kFramePerTick : std::atoi(value.c_str());
        } else {
            wanted = std::atoi(arg.c_str());
        }
    }
    if (wanted < 1) {
        std::fprintf(stderr, "usage: bench_game_x [PLAYING_TICKS] [--frame-rate tick|N]\n");
        return 2;
    }
    SdlSystem system;
    if (!system.Init()) {
        std::fprintf(stderr, "bench_game_x: cannot start the video system: %s\n",
                     system.LastError().c_str());
        return 1;
    }
    SetSys(&system);
    Counts counts;
    {
        const std::unique_ptr<AudioOutputSdl> audio = AudioOutputSdl::Open();
        SetAudio(audio.get());
        if (audio) {
            PreloadMidiSynth(*audio);
        }
        TimedMainWindow window(wanted, frameRate);
        window.DoModal();
        counts = window.counts;
        counts.width = window.game.viewWidth;
        counts.height = window.game.viewHeight;
    }
    SetSys(nullptr);

    const Counts& w = counts;
    std::printf("window: %dx%d\n", w.width, w.height);
    std::printf("timed screen: playing (%zu ticks that began and ended on it)\n", w.frames.size());
    std::printf(
        "not timed: %d ticks that lost a life or cleared a level, %d title ticks, "
        "%d behind the name dialog; %d new games\n",
        w.leftPlaying, w.titleTicks, w.nestedTicks, w.newGames);
    if (w.countedTicks < wanted || w.frames.empty()) {
        std::printf("gave up: %d of %d playing ticks\n", w.countedTicks, wanted);
        return 1;
    }
    std::vector<double> sorted = w.frames;
    std::sort(sorted.begin(), sorted.end());
    std::vector<double> deviation = w.tickDeviation;
    std::sort(deviation.begin(), deviation.end());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("frame median: %.2f ms\n", Percentile(sorted, 0.5));
    std::printf("frame p99: %.2f ms\n", Percentile(sorted, 0.99));
    if (frameRate != MainWindow::kFramePerTick) {
        std::printf("frames per second: %.1f drawn, %.1f distinct\n", w.framesDrawn / w.playSeconds,
                    w.distinctFrames / w.playSeconds);
    } else {
        std::printf("frames per second: %.1f drawn, %.1f distinct\n",
                    w.countedTicks / w.playSeconds, w.countedTicks / w.playSeconds);
    }
    if (!deviation.empty()) {
        std::printf("tick period deviation: median %.3f ms, p99 %.3f ms\n",
                    Percentile(deviation, 0.5), Percentile(deviation, 0.99));
    }
    std::printf("play: %.2f s wall, %.2f s CPU\n", w.playSeconds, w.playCpuSeconds);
    std::printf("cpu per second of play: %.3f s\n", w.playCpuSeconds / w.playSeconds);
    // Under load fewer ticks fit in a second; per tick the figure holds still.
    std::printf("cpu per playing tick: %.2f ms\n", 1e3 * w.playCpuSeconds / w.countedTicks);
    std::printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}

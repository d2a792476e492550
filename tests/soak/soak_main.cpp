// quorvax-soak: the real main window and game for a long run at virtual time
// (90,000 ticks are one hour of play), driven by a seeded random player who
// presses and releases keys, drops bombs, jumps, dies, clears levels and types
// names into the name dialog. After every frame OpenGL must report no error
// (--headless: no OpenGL and no frames at all, the world and the rest only);
// resident memory after the first minute (1,500 ticks) may grow by less than
// 5% by the end. Built with the sanitizers, the leak check runs at exit.
// Runs in the current working directory, beside the game's files.
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <random>
#include <string>

#include "app/MainWindow.h"
#include "platform/Keys.h"
#include "platform/virtual/AudioOutputMemory.h"
#include "platform/virtual/VirtualSystem.h"
#include "support/GameHarness.h"
#include "world/Bomb.h"
#include "world/Enemy.h"

namespace {

constexpr uint64_t kFirstMinuteTicks = 1500;
// Without pictures the first minute passes in a fraction of a second,
// before the sanitizer's quarantine of freed blocks has filled: the
// baseline is then taken after six minutes of play.
constexpr uint64_t kHeadlessBaselineTicks = 9000;
constexpr double kMaxGrowth = 0.05;

size_t ResidentBytes() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) {
        return 0;
    }
    unsigned long size = 0;
    unsigned long resident = 0;
    const int got = std::fscanf(f, "%lu %lu", &size, &resident);
    std::fclose(f);
    return got == 2 ? size_t(resident) * size_t(sysconf(_SC_PAGESIZE)) : 0;
}

double Seconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// The random player. Its own generator, seeded, so that a run can be repeated;
// the game's random sequence stays the game's.
class RandomPlayer {
  public:
    RandomPlayer(VirtualSystem& sys, uint32_t seed) : sys_(sys), rng_(seed) {}

    // Called after every tick: plays the game, or answers the dialog on top.
    void Act() {
        if (sys_.Focus() != sys_.MainDialog()) {
            AnswerDialog();
            return;
        }
        typing_ = false;
        const Game& game = static_cast<MainWindow*>(sys_.MainDialog())->game;
        if (game.waitingForStart) {
            // Look at the title or the scores for a while, sometimes clear them.
            if (Chance(0.02)) {
                Tap(game.gameOver && Chance(0.1) ? VK_SHIFT : VK_SPACE);
            }
            if (Chance(0.0005)) {
                Tap(VK_F1);  // the About box; closed again by AnswerDialog
            }
            return;
        }
        static constexpr int kKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_CONTROL, VK_SHIFT};
        // Mostly forward and bombs, so that enemies are met and levels cleared.
        static constexpr double kPress[] = {0.15, 0.03, 0.06, 0.06, 0.10, 0.04};
        static constexpr double kRelease[] = {0.05, 0.20, 0.15, 0.15, 0.30, 0.25};
        for (size_t i = 0; i < std::size(kKeys); ++i) {
            if (!down_[i] && Chance(kPress[i])) {
                sys_.KeyDown(kKeys[i]);
                down_[i] = true;
            } else if (down_[i] && Chance(kRelease[i])) {
                sys_.KeyUp(kKeys[i]);
                down_[i] = false;
            } else if (down_[i] && Chance(0.02)) {
                sys_.KeyDown(kKeys[i], true);  // auto-repeat
            }
        }
    }

    int namesTyped = 0;

  private:
    void AnswerDialog() {
        ReleaseAll();
        if (!typing_) {
            typing_ = true;
            static const char* const kNames[] = {"Anna", "Bo", "  ", "\xc3\x85sa", "x\ty", ""};
            const std::string name = kNames[Pick(std::size(kNames))];
            if (!name.empty()) {
                sys_.Type(name);
            }
            if (Chance(0.3)) {
                sys_.KeyDown(VK_BACK);
                sys_.KeyUp(VK_BACK);
            }
            return;
        }
        if (Chance(0.3)) {
            const bool accept = Chance(0.8);
            Tap(accept ? VK_RETURN : VK_ESCAPE);
            namesTyped += accept ? 1 : 0;
            typing_ = false;
        }
    }

    void ReleaseAll() {
        static constexpr int kKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_CONTROL, VK_SHIFT};
        for (size_t i = 0; i < std::size(kKeys); ++i) {
            if (down_[i]) {
                sys_.KeyUp(kKeys[i]);
                down_[i] = false;
            }
        }
    }

    void Tap(int vk) {
        sys_.KeyDown(vk);
        sys_.KeyUp(vk);
    }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

    VirtualSystem& sys_;
    std::mt19937 rng_;
    bool down_[6] = {};
    bool typing_ = false;
};

// Random play destroys an enemy now and then but seldom a whole level. When
// a level has lasted this long, the enemies are put on the fragments of the
// next blast, and the game's own blast test ends the level.
constexpr uint64_t kHelpAfterTicks = 1200;

void PutEnemiesOnTheBlast(Game& game) {
    for (int b = 0; b < game.bombs.bombs.count; ++b) {
        const Bomb* bomb = game.bombs.bombs.At(b);
        if (bomb == nullptr || !bomb->exploded) {
            continue;
        }
        for (int i = 0; i < game.enemies.enemies.count; ++i) {
            Enemy* enemy = game.enemies.enemies.At(i);
            const Vec3& f = bomb->fragments[i % Bomb::kFragments];
            enemy->position =
                Vec3{bomb->position.x + f.x, bomb->position.y + f.y, bomb->position.z + f.z};
        }
        return;
    }
}

struct Totals {
    uint64_t glErrors = 0;
    uint64_t lostLives = 0;
    uint64_t gamesOver = 0;
    int topLevel = 0;
    int levelsCleared = 0;
    size_t rssAfterFirstMinute = 0;
    size_t rssPeakAfter = 0;
};

void Usage() {
    std::fprintf(
        stderr,
        "usage: quorvax-soak [--ticks N] [--seed S] [--size WxH] [--no-audio] [--headless]\n");
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t ticks = 90000;
    uint32_t seed = 1;
    bool audio = true;
    bool headless = false;
    VirtualSystem::Options options;
    options.desktopWidth = 320;
    options.desktopHeight = 240;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--ticks") {
            ticks = std::strtoull(value, nullptr, 10);
            ++i;
        } else if (arg == "--seed") {
            seed = uint32_t(std::strtoul(value, nullptr, 10));
            ++i;
        } else if (arg == "--size") {
            if (std::sscanf(value, "%dx%d", &options.desktopWidth, &options.desktopHeight) != 2) {
                Usage();
                return 2;
            }
            ++i;
        } else if (arg == "--no-audio") {
            audio = false;
        } else if (arg == "--headless") {
            headless = true;
            options.gl = false;
        } else {
            Usage();
            return 2;
        }
    }
    const uint64_t baselineTick = headless ? kHeadlessBaselineTicks : kFirstMinuteTicks;
    if (ticks < baselineTick) {
        std::fprintf(stderr, "quorvax-soak: at least %llu ticks\n",
                     static_cast<unsigned long long>(baselineTick));
        return 2;
    }

    const double start = Seconds();
    AudioOutputMemory output(48000);
    if (audio) {
        SetAudio(&output);
    }
    VirtualSystem sys(options);
    SetSys(&sys);
    Totals totals;
    size_t messages = 0;
    // Counted and shown, not kept: an hour of them would itself grow memory.
    sys.onMessage = [&](const VirtualSystem::CapturedMessage& m) {
        if (++messages <= 10) {
            std::printf("message %s: %s\n", m.caption.c_str(), m.text.c_str());
        }
        sys.messages.clear();
    };
    int result = 0;
    {
        MainWindow window;
        window.game.drawing = !headless;
        RandomPlayer player(sys, seed);
        int lastLives = 3;
        int lastLevel = 0;
        int levelPlayed = 0;
        uint64_t ticksInLevel = 0;
        sys.afterTick = [&](uint64_t tick) {
            for (GLenum e = headless ? GL_NO_ERROR : glGetError(); e != GL_NO_ERROR;
                 e = glGetError()) {
                if (++totals.glErrors <= 10) {
                    std::fprintf(stderr, "GL error 0x%04x after tick %llu\n", e,
                                 static_cast<unsigned long long>(tick));
                }
            }
            if (audio) {
                output.Pull(1920);  // the 40 ms of sound the tick stands for
            }
            const Game& game = window.game;
            if (game.lives < lastLives) {
                totals.lostLives += uint64_t(lastLives - game.lives);
            }
            totals.gamesOver += lastLives > 0 && game.lives == 0 ? 1 : 0;
            lastLives = game.lives;
            if (game.board.level > lastLevel) {
                totals.levelsCleared += game.board.level - lastLevel;
            }
            lastLevel = game.board.level;
            ticksInLevel = game.waitingForStart ? ticksInLevel : ticksInLevel + 1;
            if (game.board.level != levelPlayed) {
                levelPlayed = game.board.level;
                ticksInLevel = 0;
            }
            if (ticksInLevel > kHelpAfterTicks && !game.waitingForStart) {
                PutEnemiesOnTheBlast(window.game);
            }
            totals.topLevel = std::max(totals.topLevel, game.board.level + 1);
            if (tick == baselineTick) {
                totals.rssAfterFirstMinute = ResidentBytes();
            } else if (tick > baselineTick) {
                totals.rssPeakAfter = std::max(totals.rssPeakAfter, ResidentBytes());
            }
            if (tick % 9000 == 0) {
                std::printf("tick %llu: rss %.1f MB, level %d, lives lost %llu, %.0f s\n",
                            static_cast<unsigned long long>(tick), ResidentBytes() / 1048576.0,
                            game.board.level + 1, static_cast<unsigned long long>(totals.lostLives),
                            Seconds() - start);
                std::fflush(stdout);
            }
            player.Act();
        };
        sys.RunModalFor(window, ticks);
        sys.afterTick = nullptr;
        const size_t rssEnd = ResidentBytes();
        const double growth = totals.rssAfterFirstMinute == 0
                                  ? 0.0
                                  : (double(rssEnd) - double(totals.rssAfterFirstMinute)) /
                                        double(totals.rssAfterFirstMinute);
        std::printf(
            "soak: %llu ticks in %.0f s; GL errors %llu; lives lost %llu, games over %llu, "
            "levels cleared %d (highest level %d), names entered %d, messages %zu\n",
            static_cast<unsigned long long>(sys.MainTicks()), Seconds() - start,
            static_cast<unsigned long long>(totals.glErrors),
            static_cast<unsigned long long>(totals.lostLives),
            static_cast<unsigned long long>(totals.gamesOver), totals.levelsCleared,
            totals.topLevel, player.namesTyped, messages);
        std::printf(
            "soak: resident memory %.1f MB at tick %llu, %.1f MB at the end (%+.2f%%), "
            "peak after the first minute %.1f MB\n",
            totals.rssAfterFirstMinute / 1048576.0, static_cast<unsigned long long>(baselineTick),
            rssEnd / 1048576.0, growth * 100.0, totals.rssPeakAfter / 1048576.0);
        if (sys.MainTicks() < ticks) {
            std::printf("soak: FAILED, the game ended at tick %llu\n",
                        static_cast<unsigned long long>(sys.MainTicks()));
            result = 1;
        }
        if (totals.glErrors != 0) {
            std::printf("soak: FAILED, OpenGL reported errors\n");
            result = 1;
        }
        if (growth >= kMaxGrowth) {
            std::printf("soak: FAILED, resident memory grew by %.2f%%\n", growth * 100.0);
            result = 1;
        }
    }
    SetSys(nullptr);
    SetAudio(nullptr);
    return result;
}

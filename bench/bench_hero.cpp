// The hero's per-tick costs against the 40 ms frame: the wall tests of a
// step (each a scan of all 225 cells) and one whole playing frame at
// virtual time on the offscreen context.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/MainWindow.h"
#include "platform/Keys.h"
#include "platform/virtual/VirtualSystem.h"
#include "world/Board.h"
#include "world/Hero.h"

namespace {

// Layout 0, the hero pressed into the last inner corner: the wanted move and
// its slide both fail on cells late in the scan, the most a step can cost.
void BM_ClipMoveBlockedInACorner(benchmark::State& state) {
    Board board;
    board.level = 0;
    board.Rebuild();
    Hero hero;
    hero.board = &board;
    hero.position = Vec3{6.74f, 6.74f, 0.5f};
    for (auto _ : state) {
        benchmark::DoNotOptimize(hero.ClipMove(Vec3{0.1f, 0.1f, 0.0f}));
    }
}
BENCHMARK(BM_ClipMoveBlockedInACorner);

void BM_UpdateGroundHeightInTheOpen(benchmark::State& state) {
    Board board;
    board.level = 0;
    board.Rebuild();
    Hero hero;
    hero.board = &board;
    hero.position = Vec3{-5.5f, -5.5f, 0.5f};
    for (auto _ : state) {
        hero.UpdateGroundHeight();
        benchmark::DoNotOptimize(hero.groundHeight);
    }
}
BENCHMARK(BM_UpdateGroundHeightInTheOpen);

// A new game with Space pressed and Up and Left held.
void StartPlaying(VirtualSystem& sys, std::unique_ptr<MainWindow>& window) {
    if (window) {
        sys.Close();
    }
    window = std::make_unique<MainWindow>();
    sys.Open(*window);
    sys.KeyDown(VK_SPACE);
    sys.KeyUp(VK_SPACE);
    sys.KeyDown(VK_UP);
    sys.KeyDown(VK_LEFT);
}

// One tick of play with Up and Left held: the key actions, board, hero
// (8469 triangles), enemies, bombs and text, drawn by the software renderer.
// Only ticks that begin on the playing screen are timed: once a lost life
// ends the game, a fresh one is started outside the timing (a title tick
// costs a fraction of a playing one).
void BM_PlayingTick(benchmark::State& state) {
    VirtualSystem sys;
    SetSys(&sys);
    {
        std::unique_ptr<MainWindow> window;
        StartPlaying(sys, window);
        for (auto _ : state) {
            if (window->game.waitingForStart != 0 || window->game.gameOver != 0) {
                state.PauseTiming();
                StartPlaying(sys, window);
                state.ResumeTiming();
            }
            sys.RunTicks(1);
        }
        sys.Close();
    }
    SetSys(nullptr);
}
BENCHMARK(BM_PlayingTick)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The hero's per-tick costs against the 40 ms frame: the wall tests of a
// step (each a scan of all 225 cells) and one whole playing frame at
// virtual time on the offscreen context.
#include <benchmark/benchmark.h>

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

// One tick of play with Up and Left held: the key actions, board, hero
// (8469 triangles), enemies, bombs and text, drawn by the software renderer.
void BM_PlayingTick(benchmark::State& state) {
    VirtualSystem sys;
    SetSys(&sys);
    {
        MainWindow window;
        sys.Open(window);
        sys.KeyDown(VK_SPACE);
        sys.KeyUp(VK_SPACE);
        sys.KeyDown(VK_UP);
        sys.KeyDown(VK_LEFT);
        for (auto _ : state) {
            sys.RunTicks(1);
        }
        sys.Close();
    }
    SetSys(nullptr);
}
BENCHMARK(BM_PlayingTick)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

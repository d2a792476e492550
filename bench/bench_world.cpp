// The world's update alone for one tick, without drawing: a hero step and
// turn with its height, 16 enemies wandering, and 4 exploding bombs testing
// their fragments against every enemy and the hero.
#include <benchmark/benchmark.h>

#include "game/Game.h"
#include "platform/virtual/VirtualSystem.h"
#include "world/Bomb.h"
#include "world/Enemy.h"

namespace {

void BM_WorldUpdate(benchmark::State& state) {
    VirtualSystem::Options noGl;
    noGl.gl = false;
    VirtualSystem sys(noGl);
    SetSys(&sys);
    {
        Game g;
        g.board.level = 0;
        g.board.Rebuild();
        g.hero.board = &g.board;
        // Out of the enemies' reach: the contact test runs in full but never costs a life.
        g.hero.position.z = 20.0f;
        g.enemies.board = &g.board;
        g.enemies.hero = &g.hero;
        g.enemies.world = &g;
        g.enemies.enemiesPerLevel = 16;
        g.enemies.Spawn();
        // Spread the enemies over the maze before measuring.
        for (int i = 0; i < 200; ++i) {
            for (int k = 0; k < g.enemies.enemies.count; ++k) {
                g.enemies.enemies.At(k)->Wander(g.random);
            }
        }
        g.bombs.world = &g;
        for (int k = 0; k < 4; ++k) {
            // High above the maze: every fragment is tested against every enemy
            // and the hero, and none hits, so the set stays the same each tick.
            g.bombs.Add(-3.5f + 2.0f * static_cast<float>(k), 6.5f, 50.0f);
            Bomb* b = g.bombs.bombs.At(k);
            b->exploded = 1;
            b->fuse = Bomb::kExplodeAt;
            for (int f = 0; f < Bomb::kFragments; ++f) {
                b->fragments[f] = Vec3{0.3f * static_cast<float>(f % 3), 0.3f, 0.1f};
            }
        }
        for (auto _ : state) {
            g.hero.Step(0.1f);
            g.hero.Turn(0.07f);
            g.hero.UpdateGroundHeight();
            for (int k = 0; k < g.enemies.enemies.count; ++k) {
                g.enemies.enemies.At(k)->Wander(g.random);
            }
            g.enemies.CheckHeroContact();
            for (int k = 0; k < g.bombs.bombs.count; ++k) {
                g.bombs.bombs.At(k)->CheckBlastHits();
            }
            benchmark::DoNotOptimize(g.score);
        }
        if (g.enemies.enemies.count != 16 || g.bombs.bombs.count != 4) {
            state.SkipWithError("the world changed while measured");
        }
    }
    SetSys(nullptr);
}
BENCHMARK(BM_WorldUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

#include <gtest/gtest.h>

#include "platform/Keys.h"
#include "support/GameHarness.h"

namespace {

void ExpectEnemiesAtTheStart(Game& g, int count) {
    ASSERT_EQ(g.enemies.enemies.count, count);
    for (int i = 0; i < count; ++i) {
        const Enemy* e = g.enemies.enemies.At(i);
        EXPECT_EQ(e->position.x, 0.0f) << i;
        EXPECT_EQ(e->position.y, 0.0f) << i;
    }
}

}  // namespace

TEST(Rules, ALostLifePausesASecondAndPutsTheHeroBackAtHisHeight) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    g.hero.position = Vec3{2.5f, 3.5f, 1.5f};  // on a wall top
    g.bombs.Add(6.5f, 3.5f, 0.5f);
    g.enemies.enemies.At(0)->position.x = 4.0f;
    const uint64_t before = h.sys.Now();
    g.LoseLife();
    EXPECT_GE(h.sys.Now(), before + 1000);
    EXPECT_EQ(g.lives, 2);
    EXPECT_EQ(g.gameOver, 0);
    EXPECT_EQ(g.waitingForStart, 1);
    EXPECT_EQ(g.hero.position.x, -5.5f);
    EXPECT_EQ(g.hero.position.y, -5.5f);
    EXPECT_EQ(g.hero.position.z, 1.5f);
    EXPECT_EQ(g.bombs.bombs.count, 0) << "burning bombs go too";
    ExpectEnemiesAtTheStart(g, 5);

    // SPACE goes on with the same game, without a banner.
    g.levelBannerOn = 0;
    g.score = 30;
    h.StartPlaying();
    EXPECT_EQ(g.lives, 2);
    EXPECT_EQ(g.score, 30);
    EXPECT_EQ(g.levelBannerOn, 0);
}

TEST(Rules, TheLastLifeEndsTheGameWithFiveEnemiesReady) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    g.lives = 1;
    g.enemies.enemiesPerLevel = 9;
    g.bombs.Add(6.5f, 3.5f, 0.5f);
    g.enemies.enemies.At(2)->position = g.hero.position;
    h.Tick();  // the contact test runs the whole sequence
    EXPECT_EQ(g.lives, 0);
    EXPECT_EQ(g.gameOver, 1);
    EXPECT_EQ(g.waitingForStart, 1);
    EXPECT_EQ(g.enemies.enemiesPerLevel, 5);
    EXPECT_EQ(g.bombs.bombs.count, 0);
    ExpectEnemiesAtTheStart(g, 5);

    // The new game plays with those enemies.
    h.StartPlaying();
    EXPECT_EQ(g.lives, 3);
    EXPECT_EQ(g.gameOver, 0);
    EXPECT_EQ(g.enemies.enemies.count, 5);
}

TEST(Rules, TheLevelCounterWrapsAfterElevenLevelsWhileEnemiesKeepGrowing) {
    GameHarness h;
    Game& g = h.game();
    for (int level = 1; level <= 10; ++level) {
        g.ClearLevel();
        EXPECT_EQ(g.board.level, level);
    }
    EXPECT_EQ(g.enemies.enemiesPerLevel, 15);
    g.bombs.Add(1.0f, 1.0f, 0.5f);
    g.hero.position = Vec3{3.5f, 2.5f, 1.5f};
    g.waitingForStart = 0;
    g.levelBannerOn = 0;
    g.ClearLevel();
    EXPECT_EQ(g.board.level, 0) << "shown as level 1";
    EXPECT_EQ(g.enemies.enemiesPerLevel, 16);
    ExpectEnemiesAtTheStart(g, 16);
    EXPECT_EQ(g.bombs.bombs.count, 0);
    EXPECT_EQ(g.hero.position.x, -5.5f);
    EXPECT_EQ(g.hero.position.y, -5.5f);
    EXPECT_EQ(g.hero.position.z, 0.5f);
    EXPECT_EQ(g.waitingForStart, 1);
    EXPECT_EQ(g.levelBannerOn, 1);
    EXPECT_EQ(g.lives, 3);
    EXPECT_EQ(g.score, 0) << "no points for a cleared level";

    // The board holds the new level's layout: the same as a rebuild of level 0.
    Board fresh;
    fresh.level = 0;
    fresh.Rebuild();
    for (int i = 0; i < kBoardSize * kBoardSize; ++i) {
        ASSERT_EQ(g.board.cells[i], fresh.cells[i]) << i;
    }

    // A game over sets the count back to five.
    g.lives = 1;
    g.LoseLife();
    EXPECT_EQ(g.enemies.enemiesPerLevel, 5);
}

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "support/GameHarness.h"
#include "support/ScratchDir.h"
#include "world/Board.h"
#include "world/Enemy.h"
#include "world/EnemyGroup.h"
#include "world/Random.h"

namespace {

// Positions rng so that its next n values satisfy ok; the caller then
// knows exactly which numbers the code under test will draw.
std::vector<int> ArrangeDraws(Random& rng, int n,
                              const std::function<bool(const std::vector<int>&)>& ok) {
    Random at;
    for (int skip = 0; skip < 20000; ++skip) {
        Random probe = at;
        std::vector<int> next(static_cast<size_t>(n));
        for (int& v : next) {
            v = probe.Next();
        }
        if (ok(next)) {
            rng = at;
            return next;
        }
        at.Next();
    }
    ADD_FAILURE() << "no such draws";
    return {};
}

int Scaled(int v, double range, double offset = 0.0) {
    return static_cast<int>(v * (1.0 / 32768.0) * range + offset);
}

// An open field; walls are added by each test.
void OpenField(Board& board) {
    std::fill(std::begin(board.cells), std::end(board.cells), uint8_t{2});
}

void Solid(Board& board, int r, int c) {
    board.cells[r * kBoardSize + c] = SolidCell;
}

Enemy MakeEnemy(Board& board, float x, float y) {
    Enemy e;
    e.Init();
    e.board = &board;
    e.position.x = x;
    e.position.y = y;
    return e;
}

void ExpectFacing(const Enemy& e, float dx, float dy) {
    EXPECT_NEAR(e.orientation[0], dx, 1e-6);
    EXPECT_NEAR(e.orientation[1], dy, 1e-6);
    EXPECT_NEAR(e.orientation[2], 0.0f, 1e-6);
}

}  // namespace

TEST(Enemy, TouchingAWallIsNotBlockedButStepIntoItIs) {
    Board board;
    OpenField(board);
    Solid(board, 7, 7);  // x 0..1, y 0..1
    Enemy e = MakeEnemy(board, -0.25f, 0.5f);
    EXPECT_EQ(e.IsBlocked(Vec3{0.0f, 0.0f, 0.0f}), 0);
    EXPECT_EQ(e.IsBlocked(Vec3{0.1f, 0.0f, 0.0f}), 1);
    EXPECT_EQ(e.IsBlocked(Vec3{-0.1f, 0.0f, 0.0f}), 0);
    EXPECT_EQ(e.IsBlocked(Vec3{0.0f, 0.1f, 0.0f}), 0);
}

TEST(Enemy, WalksAFifthOfACellEveryFrameWhenNothingHappens) {
    Board board;
    OpenField(board);
    Enemy e = MakeEnemy(board, 0.0f, 0.0f);
    Random rng;
    ArrangeDraws(rng, 2, [](const std::vector<int>& v) {
        return Scaled(v[0], 100) >= 5 && Scaled(v[1], 100) >= 5;
    });
    e.Wander(rng);
    e.Wander(rng);
    EXPECT_NEAR(e.position.x, 0.2f, 1e-6);
    EXPECT_EQ(e.position.y, 0.0f);
    EXPECT_EQ(e.position.z, 0.5f);
    ExpectFacing(e, 1, 0);
}

TEST(Enemy, AtAWallTheFirstDrawTurnsItAndItDoesNotMove) {
    Board board;
    OpenField(board);
    Solid(board, 7, 7);
    for (int k = 0; k < 4; ++k) {
        Enemy e = MakeEnemy(board, -0.25f, 0.5f);
        Random rng;
        const std::vector<int> d = ArrangeDraws(rng, 3, [k](const std::vector<int>& v) {
            return Scaled(v[0], 4) == k && Scaled(v[1], 100) >= 5;
        });
        e.Wander(rng);
        EXPECT_EQ(e.position.x, -0.25f) << k;
        EXPECT_EQ(e.position.y, 0.5f) << k;
        const float dirs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        ExpectFacing(e, dirs[k][0], dirs[k][1]);
        EXPECT_EQ(rng.Next(), d[2]) << "two draws when blocked and no side turn";
    }
}

TEST(Enemy, AFreeSideTurnIsTakenWithoutAnExtraStep) {
    Board board;
    OpenField(board);
    Enemy e = MakeEnemy(board, 0.0f, 0.0f);
    // Not blocked: the first draw decides on a side turn, the second picks a left turn.
    Random rng;
    const std::vector<int> d = ArrangeDraws(rng, 3, [](const std::vector<int>& v) {
        return Scaled(v[0], 100) < 5 && Scaled(v[1], 4, 1.0) == 1;
    });
    e.Wander(rng);
    EXPECT_NEAR(e.position.x, 0.1f, 1e-6);
    EXPECT_EQ(e.position.y, 0.0f);
    ExpectFacing(e, 0, 1);
    EXPECT_EQ(rng.Next(), d[2]);
}

TEST(Enemy, ASideTurnIntoAWallIsRefused) {
    Board board;
    OpenField(board);
    Solid(board, 6, 7);  // x -1..0, y 0..1: to the left of an enemy walking +x
    Enemy e = MakeEnemy(board, -0.5f, -0.25f);
    Random rng;
    ArrangeDraws(rng, 2, [](const std::vector<int>& v) {
        return Scaled(v[0], 100) < 5 && Scaled(v[1], 4, 1.0) == 1;
    });
    e.Wander(rng);
    EXPECT_NEAR(e.position.x, -0.4f, 1e-6);
    ExpectFacing(e, 1, 0);
}

TEST(EnemyGroup, SpawnReplacesAllEnemiesWithFreshOnesAtTheCentre) {
    Board board;
    OpenField(board);
    EnemyGroup group;
    group.board = &board;
    group.Spawn();
    ASSERT_EQ(group.enemies.count, 5);
    group.enemies.At(0)->position.x = 3.0f;
    group.enemiesPerLevel = 8;
    group.Spawn();
    ASSERT_EQ(group.enemies.count, 8);
    for (int i = 0; i < 8; ++i) {
        const Enemy* e = group.enemies.At(i);
        EXPECT_EQ(e->position.x, 0.0f);
        EXPECT_EQ(e->position.y, 0.0f);
        EXPECT_EQ(e->position.z, 0.5f);
        ExpectFacing(*e, 1, 0);
        EXPECT_EQ(e->board, &board);
    }
}

TEST(EnemyGroup, StackedEnemiesSeparateThroughTheirOwnDraws) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    h.Tick(30);
    ASSERT_EQ(g.enemies.enemies.count, 5);
    int apart = 0;
    for (int i = 1; i < 5; ++i) {
        const Enemy* a = g.enemies.enemies.At(0);
        const Enemy* b = g.enemies.enemies.At(i);
        if (a->position.x != b->position.x || a->position.y != b->position.y) {
            ++apart;
        }
    }
    EXPECT_GT(apart, 0);
}

TEST(EnemyGroup, ContactCountsHeightSoAJumpOrAWallTopIsSafe) {
    GameHarness h;
    Game& g = h.game();
    g.waitingForStart = 0;
    Enemy* e = g.enemies.enemies.At(0);
    e->position = Vec3{1.5f, 1.5f, 0.5f};
    g.hero.position = Vec3{1.9f, 1.5f, 1.0f};
    g.enemies.CheckHeroContact();
    EXPECT_EQ(g.lives, 3) << "0.4 across and 0.5 up is 0.64 apart";
    g.hero.position.z = 0.5f;
    g.enemies.CheckHeroContact();
    EXPECT_EQ(g.lives, 2) << "0.4 apart on the floor";
    EXPECT_EQ(g.waitingForStart, 1);
}

TEST(EnemyGroup, TwoEnemiesOnTheHeroInOneFrameCostOneLife) {
    GameHarness h;
    Game& g = h.game();
    h.StartPlaying();
    const Vec3 spot{-5.5f, -1.5f, 0.5f};
    g.hero.position = spot;
    g.enemies.enemies.At(1)->position = spot;
    g.enemies.enemies.At(3)->position = spot;
    h.Tick();
    EXPECT_EQ(g.lives, 2);
    EXPECT_EQ(g.waitingForStart, 1);
    EXPECT_EQ(g.hero.position.x, -5.5f);
    EXPECT_EQ(g.hero.position.y, -5.5f);
    ASSERT_EQ(g.enemies.enemies.count, 5);
    EXPECT_EQ(g.enemies.enemies.At(1)->position.x, 0.0f) << "respawned at the centre";
    // Nothing moves or touches while the title picture is up.
    g.enemies.enemies.At(0)->position = g.hero.position;
    h.Tick(5);
    EXPECT_EQ(g.lives, 2);
    EXPECT_EQ(g.enemies.enemies.At(1)->position.x, 0.0f);
}

namespace {

// A working directory without any of the game's files, for the length of a test.
class EmptyWorkDir {
  public:
    EmptyWorkDir() : home_(std::filesystem::current_path()) {
        if (const std::string dir = MakeScratchDir("quorvax-empty-"); !dir.empty()) {
            dir_ = dir;
            std::filesystem::current_path(dir_);
        }
    }
    ~EmptyWorkDir() {
        std::filesystem::current_path(home_);
        if (!dir_.empty()) {
            std::filesystem::remove_all(dir_);
        }
    }
    EmptyWorkDir(const EmptyWorkDir&) = delete;
    EmptyWorkDir& operator=(const EmptyWorkDir&) = delete;

  private:
    std::filesystem::path home_;
    std::filesystem::path dir_;
};

int CountMessages(const VirtualSystem& sys, const std::string& caption) {
    int n = 0;
    for (const VirtualSystem::CapturedMessage& m : sys.messages) {
        n += m.caption == caption && m.text == "Can't load image";
    }
    return n;
}

}  // namespace

TEST(EnemyGroup, TexturesComeFromTheirPicturesAndAMissingOneIsReported) {
    {
        GameHarness h;
        EXPECT_EQ(CountMessages(h.sys, "Board"), 0);
        EXPECT_NE(h.gl().enemyTexture, 0u);
        EXPECT_NE(h.gl().bombTexture, 0u);
    }
    EmptyWorkDir empty;
    GameHarness h;
    EXPECT_EQ(h.gl().enemyTexture, 0u);
    EXPECT_EQ(h.gl().bombTexture, 0u);
    EXPECT_EQ(CountMessages(h.sys, "Bomb"), 1);
    // Each failed load shows its own message and leaves the texture alone.
    const int board = CountMessages(h.sys, "Board");
    h.gl().enemyTexture = 77;
    h.gl().LoadEnemyTexture();
    EXPECT_EQ(h.gl().enemyTexture, 77u);
    EXPECT_EQ(CountMessages(h.sys, "Board"), board + 1);
    h.gl().bombTexture = 78;
    h.gl().LoadBombTexture();
    EXPECT_EQ(h.gl().bombTexture, 78u);
    EXPECT_EQ(CountMessages(h.sys, "Bomb"), 2);
    // The game goes on all the same.
    h.StartPlaying();
    h.Press(VK_CONTROL);
    h.Tick(5);
    EXPECT_EQ(h.game().enemies.enemies.count, 5);
    EXPECT_EQ(h.game().bombs.bombs.count, 1);
}

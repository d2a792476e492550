#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/Board.h"
#include "world/Matrix4.h"
#include "world/Vec3.h"

// The hero as one tick shows it: where the model stands (bobbing included),
// which way it faces and which of its three poses it takes.
struct ShownHero {
    Vec3 at;
    Matrix4 orientation;
    int frame = 0;
};

// An enemy as one tick shows it; id follows the same enemy from tick to tick.
struct ShownEnemy {
    uint32_t id = 0;
    Vec3 position;
    Matrix4 orientation;
};

// A bomb as one tick shows it: jittering at `at`, or, once exploded, its
// eight fragments around `at`, each offset `spread` far and with its colour's
// random blue part.
struct ShownBomb {
    static constexpr int kFragments = 8;
    uint32_t id = 0;
    bool exploded = false;
    Vec3 at;
    float spread = 0.0f;
    Vec3 fragments[kFragments];
    float blue[kFragments] = {};
};

struct ShownScore {
    std::string name;
    int score = 0;
};

// Everything one tick shows, taken while the tick runs at the points where
// each thing used to be drawn, so a drawing of it is exactly that tick's
// picture. The drawing reads nothing else of the world.
struct FrameState {
    // The camera, set from the hero before the tick moved anything.
    Vec3 eye;
    Vec3 center;
    // The title picture (with the high scores when gameOver) or the board.
    bool title = true;
    bool gameOver = false;
    ShownScore scores[5];
    // Under the table: the world rank of the game just finished, or why it
    // was not sent; "" without a leaderboard.
    std::string worldRank;
    // The playing screen: the board as drawn (before a cleared level rebuilt
    // it), the actors as they moved, then the status texts after the rules.
    uint8_t cells[kBoardSize * kBoardSize] = {};
    bool actorsShown = false;
    ShownHero hero;
    std::vector<ShownEnemy> enemies;
    std::vector<ShownBomb> bombs;
    int enemiesLeft = 0;
    int level = 0;  // as shown: 1 for the first
    int lives = 0;
    int score = 0;
    bool banner = false;
    // Changes whenever things jump rather than move (a new game, a new
    // level, a lost life): a frame between two ticks of different eras
    // shows the later one as it is.
    uint32_t era = 0;
};

#pragma once

#include <GL/gl.h>

#include "world/OwnedList.h"

class Board;
class Game;
class Hero;

// One wandering enemy. (Stand-in until the enemies are built.)
class Enemy {
  public:
    virtual ~Enemy() = default;
};

// The enemies of the level. (Stand-in: none are made.)
class EnemyGroup {
  public:
    virtual ~EnemyGroup() = default;

    // Once from Game::Init, after board, hero and game are set.
    int Init();
    // Once per playing frame, after the hero.
    void Draw();

    OwnedList<Enemy> enemies;
    GLuint texture = 0;
    Board* board = nullptr;
    Hero* hero = nullptr;
    Game* game = nullptr;
    int enemiesPerLevel = 5;
};

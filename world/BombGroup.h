#pragma once

#include <GL/gl.h>

#include "world/OwnedList.h"

class Game;

// One dropped bomb. (Stand-in until the bombs are built.)
class Bomb {
  public:
    virtual ~Bomb() = default;
};

// The live bombs. (Stand-in: drops are ignored.)
class BombGroup {
  public:
    virtual ~BombGroup() = default;

    // Once from Game::Init.
    bool LoadTexture();
    // Game::DropBomb, at the hero's position.
    void Add(float x, float y, float z);
    // Once per playing frame, after the enemies.
    void Update();
    // Every bomb deleted at once (a life lost, a level cleared).
    void Clear();

    OwnedList<Bomb> bombs;
    Game* game = nullptr;
    GLuint bombTexture = 0;
};

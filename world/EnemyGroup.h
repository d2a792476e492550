#pragma once

#include <GL/gl.h>

#include "world/Enemy.h"
#include "world/OwnedList.h"

class Board;
class Game;
class Hero;

// The enemies of the level, their one texture and how many a level starts with.
class EnemyGroup {
  public:
    // Deletes every enemy (through the list).
    virtual ~EnemyGroup() = default;

    // Once from Game::Init, after board, hero and game are set: texture, then
    // the first enemies. Returns 1.
    int Init();
    // Once, from Init: "Enemy1.bmp" into texture. 1 when made, 0 when the
    // picture was not read (message shown, texture left alone).
    int LoadTexture();
    // Init, a lost life and a cleared level: deletes every enemy and puts
    // enemiesPerLevel new ones at the start point.
    void Spawn();
    // Once per playing frame, after the hero: every enemy moves and is drawn,
    // then the contact test.
    void Draw();
    // From Draw: the first enemy closer than 0.5 to the hero (z included)
    // costs a life; at most one per frame.
    void CheckHeroContact();

    OwnedList<Enemy> enemies;
    GLuint texture = 0;
    Board* board = nullptr;
    Hero* hero = nullptr;
    Game* game = nullptr;
    int enemiesPerLevel = 5;
};

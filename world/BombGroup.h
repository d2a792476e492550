#pragma once

#include <GL/gl.h>

#include "world/Bomb.h"
#include "world/OwnedList.h"

class Game;

// The live bombs, oldest first, and their shared texture.
class BombGroup {
  public:
    // Deletes every bomb (through the list).
    virtual ~BombGroup() = default;

    // Once from Game::Init: "bomb.bmp" into bombTexture. False, with the
    // message shown and the texture unmade, when the picture was not read.
    bool LoadTexture();
    // Game::DropBomb, at the hero's position.
    void Add(float x, float y, float z);
    // Once per playing frame, after the enemies: every bomb is drawn and
    // burns down, then each exploding bomb runs its blast test and burnt-out
    // bombs are removed.
    void Update();
    // A life lost, a level cleared: every bomb deleted at once.
    void Clear();

    OwnedList<Bomb> bombs;
    Game* game = nullptr;
    GLuint bombTexture = 0;
};

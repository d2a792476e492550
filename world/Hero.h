#pragma once

#include <GL/gl.h>

#include "world/Matrix4.h"
#include "world/Vec3.h"

class Board;

// The player's figure. (Stand-in until the hero is built: it stands at its
// start cell facing +x and draws nothing.)
class Hero {
  public:
    virtual ~Hero() = default;

    // Once from Game::Init, after the game has set board.
    int Init();
    // Key actions, once per tick while their key is held.
    void Step(float distance);
    void Turn(float angle);
    int StartJump();
    // Once per playing frame, after the board.
    void Draw();

    Matrix4 orientation;
    Vec3 position{-5.5f, -5.5f, 0.5f};
    float groundHeight = 0.5f;
    Board* board = nullptr;
    GLuint shadowTexture = 0;
    GLuint texture = 0;
    int jumping = 0;
    int jumpCounter = 0;
};

#pragma once

#include "world/FrameState.h"
#include "world/Matrix4.h"
#include "world/Vec3.h"

class Board;

// Which of the three animation frames (0 = A, 1 = B, 2 = C) the bobbing
// phase shows. Hero::Update, with bobOffset after its step.
int HeroFrameFor(int bob);

// The player's figure: walks along its facing direction, stopped or slid by
// the blocks, turns on the spot, jumps onto the wall tops, bobs while it
// stands, and throws a shadow on the floor (render/ draws it).
class Hero {
  public:
    Hero();
    virtual ~Hero() = default;

    // Once from Game::Init, after the game has set board: start cell, facing
    // +x, standing. Answers 1.
    int Init();
    // Key actions StepForward (+0.1) and StepBack (-0.1): moves along the
    // facing direction as far as the walls allow.
    void Step(float distance);
    // The displacement the walls allow instead of wanted: wanted itself, one
    // slide of 0.1 along an axis, or nothing. Changes nothing.
    Vec3 ClipMove(const Vec3& wanted) const;
    // Key actions TurnLeft (+0.07) and TurnRight (-0.07): about the z axis.
    void Turn(float angle);
    // Key action Jump: starts a jump unless one is under way; answers the
    // jumping flag as it was before.
    int StartJump();
    // From Update: the standing height from the blocks under the footprint.
    void UpdateGroundHeight();
    // Once per playing tick, first of the actors: clamp, heights, the jump
    // or the bobbing. Answers where the model is shown this tick.
    ShownHero Update();

    // First column: the facing direction.
    Matrix4 orientation;
    // z is the height of the origin, without the bobbing.
    Vec3 position{-5.5f, -5.5f, 0.5f};
    // 0.5 on the floor, 1.5 on a wall top.
    float groundHeight = 0.5f;
    Board* board = nullptr;
    int jumping = 0;
    // 5 at the start of a jump, one less per playing tick; below -5 it ends.
    int jumpCounter = 0;
    // Motion that lasts the program's life: neither Init nor a new game
    // resets it, so it runs on from one game into the next.
    int jumpDirection = 1;  // +1 while a jump rises, -1 while it falls
    int bobOffset = 0;      // bobbing phase, -6 .. 6
    int bobStep = 1;        // +1 or -1: where bobOffset goes next

  private:
    // The first block (row-major scan) whose box overlaps box; false if none.
    bool FindWall(float minX, float minY, float minZ, float maxX, float maxY, float maxZ, int& row,
                  int& col) const;
    // Whether the hero's box moved by d is clear of every block; the hit otherwise.
    bool MoveIsClear(const Vec3& d, int& row, int& col) const;
};

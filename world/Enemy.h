#pragma once

#include <GL/gl.h>

#include "world/Matrix4.h"
#include "world/Vec3.h"

class Board;

// One wandering enemy: it walks straight ahead, turns at random when a wall
// stops it and now and then where the way is free. It never chases the hero.
class Enemy {
  public:
    virtual ~Enemy() = default;

    // EnemyGroup::Spawn, right after creating it: the start point, facing +x. Returns 1.
    int Init();
    // Wander: 1 when the enemy, moved by d, would overlap a wall block.
    int IsBlocked(const Vec3& d) const;
    // One frame of movement; called by Draw.
    void Wander();
    // Once per playing frame from EnemyGroup::Draw: moves, then draws.
    void Draw();

    Vec3 position{0.0f, 0.0f, 0.5f};
    Matrix4 orientation;
    Board* board = nullptr;
    GLuint texture = 0;
};

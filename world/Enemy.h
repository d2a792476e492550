#pragma once

#include <cstdint>

#include "world/Matrix4.h"
#include "world/Vec3.h"

class Board;
class Random;

// One wandering enemy: it walks straight ahead, turns at random when a wall
// stops it and now and then where the way is free. It never chases the hero.
class Enemy {
  public:
    virtual ~Enemy() = default;

    // EnemyGroup::Spawn, right after creating it: the start point, facing +x. Returns 1.
    int Init();
    // Wander: 1 when the enemy, moved by d, would overlap a wall block.
    int IsBlocked(const Vec3& d) const;
    // One tick of movement, from EnemyGroup::Update, drawing from random.
    void Wander(Random& random);

    Vec3 position{0.0f, 0.0f, 0.5f};
    Matrix4 orientation;
    Board* board = nullptr;
    // Set by EnemyGroup::Spawn, new for every enemy ever made: a frame
    // between two ticks blends only an enemy that is in both.
    uint32_t id = 0;
};

#pragma once

#include "world/Vec3.h"

class Game;

// One dropped bomb: it jitters for 20 drawn frames, then throws eight
// fragments outward for 10 frames and is removed.
class Bomb {
  public:
    virtual ~Bomb() = default;

    // BombGroup::Add: dropped at (x, y, z) with a full fuse.
    void Init(float x, float y, float z);
    // Once per playing frame from BombGroup::Update: draws the bomb or its
    // fragments and burns the fuse down by one.
    void Draw();
    // Bomb pass of BombGroup::Update, for an exploded bomb after every bomb
    // is drawn: destroys the enemies its fragments reach, then clears the
    // level or tests the hero. When it clears the level or costs a life the
    // bomb list is emptied and this bomb is gone.
    void CheckBlastHits();

    static constexpr int kFuse = 30;
    static constexpr int kExplodeAt = 10;
    static constexpr int kFragments = 8;

    Vec3 position;
    Game* game = nullptr;
    int fuse = kFuse;
    int exploded = 0;
    int blastFrame = 0;
    Vec3 fragments[kFragments];
};

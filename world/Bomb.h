#pragma once

#include <cstdint>

#include "world/FrameState.h"
#include "world/Vec3.h"

class Random;
class World;

// One dropped bomb: it jitters for 20 ticks, then throws eight fragments
// outward for 10 ticks and is removed.
class Bomb {
  public:
    virtual ~Bomb() = default;

    // BombGroup::Add: dropped at (x, y, z) with a full fuse.
    void Init(float x, float y, float z);
    // Once per playing tick from BombGroup::Update: the jitter or the
    // fragments (into shown where given, as this tick shows the bomb), then
    // the fuse burns down by one. The jitter and the colours draw from random.
    void Burn(ShownBomb* shown, Random& random);
    // Bomb pass of BombGroup::Update, for an exploded bomb after every bomb
    // has burnt: destroys the enemies its fragments reach, then clears the
    // level or tests the hero. When it clears the level or costs a life the
    // bomb list is emptied and this bomb is gone.
    void CheckBlastHits();

    static constexpr int kFuse = 30;
    static constexpr int kExplodeAt = 10;
    static constexpr int kFragments = 8;

    Vec3 position;
    World* world = nullptr;
    // Set by BombGroup::Add, new for every bomb: frames between ticks blend
    // only a bomb that is in both.
    uint32_t id = 0;
    int fuse = kFuse;
    int exploded = 0;
    int blastFrame = 0;
    Vec3 fragments[kFragments];
};

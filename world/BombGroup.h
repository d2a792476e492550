#pragma once

#include <cstdint>
#include <vector>

#include "world/Bomb.h"
#include "world/FrameState.h"
#include "world/OwnedList.h"

class Random;
class World;

// The live bombs, oldest first.
class BombGroup {
  public:
    // Deletes every bomb (through the list).
    virtual ~BombGroup() = default;

    // Game::DropBomb, at the hero's position.
    void Add(float x, float y, float z);
    // Once per playing tick, after the enemies: every bomb burns down (and,
    // where shown is given, goes into it as this tick shows it), then each
    // exploding bomb runs its blast test and burnt-out bombs are removed.
    void Update(Random& random, std::vector<ShownBomb>* shown = nullptr);
    // A life lost, a level cleared: every bomb deleted at once.
    void Clear();

    OwnedList<Bomb> bombs;
    World* world = nullptr;
    // The id the next bomb gets.
    uint32_t nextId = 1;
};

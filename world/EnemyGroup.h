#pragma once

#include <cstdint>
#include <vector>

#include "world/Enemy.h"
#include "world/FrameState.h"
#include "world/OwnedList.h"

class Board;
class Hero;
class Random;
class World;

// The enemies of the level and how many a level starts with.
class EnemyGroup {
  public:
    // Deletes every enemy (through the list).
    virtual ~EnemyGroup() = default;

    // Once from Game::Init, after board, hero and world are set: the first
    // enemies. Returns 1.
    int Init();
    // Init, a lost life and a cleared level: deletes every enemy and puts
    // enemiesPerLevel new ones at the start point.
    void Spawn();
    // Once per playing tick, after the hero: every enemy moves (and, where
    // shown is given, goes into it as it stands then), then the contact test.
    void Update(Random& random, std::vector<ShownEnemy>* shown = nullptr);
    // From Update: the first enemy closer than 0.5 to the hero (z included)
    // costs a life; at most one per tick.
    void CheckHeroContact();

    OwnedList<Enemy> enemies;
    Board* board = nullptr;
    Hero* hero = nullptr;
    World* world = nullptr;
    int enemiesPerLevel = 5;
    // The id the next enemy made gets.
    uint32_t nextId = 1;
};

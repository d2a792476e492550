#pragma once

#include <cstdint>

#include "world/Board.h"
#include "world/BombGroup.h"
#include "world/EnemyGroup.h"
#include "world/FrameState.h"
#include "world/Hero.h"
#include "world/Random.h"
#include "world/Vec3.h"

// The game's state and rules, advanced one tick at a time. It draws nothing
// and knows no system: what a tick shows goes into a FrameState, and what
// reaches beyond the world (sounds, the pause after a lost life, the name
// of a new high score) goes through the three hooks, which Game fills in.
class World {
  public:
    World();
    virtual ~World() = default;
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Game::Init: level 0's board, the hero at its start, the first enemies.
    // The links between the parts are set here.
    void InitBoard();
    void InitHero();
    void InitEnemies();

    // One tick, after the held keys' actions: the bomb cooldown, the camera,
    // then on the playing screen the hero, the enemies and their contact
    // test, the bombs and their blasts, and the level banner's count, in
    // that order. What the tick shows is written to shown.
    void Tick(FrameState& shown);
    // The camera behind and above the hero (Tick; Game on a resize).
    void UpdateCamera();

    // MainWindow::OnTimer (and the verifier) before every tick: the action
    // of each held key (keyFlags), unless the game is over.
    void RunHeldKeys();

    // Key actions, run by the tick while their key is held.
    void StepForward();
    void StepBack();
    void TurnRight();
    void TurnLeft();
    void DropBomb();
    void Jump();
    // SPACE on a title screen: play on, after a game over a new game; the
    // held keys are let go (a key still down acts again on its next repeat).
    void LeaveTitle();

    // Rules (world/Rules.cpp), from the contact and blast tests.
    void LoseLife();
    void ClearLevel();

    // Hooks: effects 1 bomb, 2 death, 3 game over; the pause after a lost
    // life; a finished game's score into the table. The world alone plays
    // silently, pauses not at all and keeps no table.
    virtual int PlaySound(int /*kind*/) { return 0; }
    virtual void Pause(uint32_t /*ms*/) {}
    virtual void InsertScore() {}

    Vec3 up{0.0f, 0.0f, 1.0f};
    Vec3 eye{15.0f, 15.0f, 15.0f};
    Vec3 center{0.0f, 0.0f, 0.0f};
    Board board;
    Hero hero;
    EnemyGroup enemies;
    int lives = 3;
    int gameOver = 0;
    int score = 0;
    int waitingForStart = 1;
    BombGroup bombs;
    int levelBannerOn = 1;
    int levelBannerFrames = 0;
    // Counts the jumps (new game, new level, lost life); see FrameState::era.
    uint32_t era = 0;
    // The held keys' bits (world/HeldKeys.h); SPACE on a title clears them.
    int keyFlags = 0;
    // A held CTRL drops a bomb again only after ten ticks; the count runs on
    // every screen, first in every tick.
    int bombReady = 1;
    int bombCooldownFrames = 0;
    // The one random sequence of bombs and enemies, from the program's start.
    Random random;

  private:
    void AdvanceBombCooldown();
};

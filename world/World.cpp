#include "world/World.h"

#include "world/HeldKeys.h"

World::World() {
    enemies.board = &board;
    enemies.hero = &hero;
    enemies.world = this;
    bombs.world = this;
    hero.board = &board;
}

void World::InitBoard() {
    board.Init();
}

void World::InitHero() {
    hero.board = &board;
    hero.Init();
}

void World::InitEnemies() {
    enemies.board = &board;
    enemies.hero = &hero;
    enemies.world = this;
    enemies.Init();
    bombs.world = this;
}

void World::UpdateCamera() {
    Vec3 d{hero.orientation[0], hero.orientation[1], hero.orientation[2]};
    center = hero.position;
    center.z = 0.5f;
    Scale(d, 6.0);
    Sub(eye, center, d);
    eye.z += 5.0f;
}

void World::Tick(FrameState& shown) {
    AdvanceBombCooldown();
    UpdateCamera();
    shown.eye = eye;
    shown.center = center;
    shown.title = waitingForStart != 0;
    shown.gameOver = gameOver != 0;
    shown.actorsShown = false;
    shown.enemies.clear();
    shown.bombs.clear();
    shown.banner = false;
    if (!waitingForStart) {
        for (int i = 0; i < kBoardSize * kBoardSize; ++i) {
            shown.cells[i] = board.cells[i];
        }
        if (!gameOver) {
            shown.actorsShown = true;
            shown.hero = hero.Update();
            enemies.Update(random, &shown.enemies);
            bombs.Update(random, &shown.bombs);
        }
        shown.enemiesLeft = enemies.enemies.count;
        shown.level = board.level + 1;
        shown.lives = lives;
        shown.score = score;
        if (levelBannerOn) {
            // Shown for 101 ticks, the last one included.
            ++levelBannerFrames;
            if (levelBannerFrames > 100) {
                levelBannerOn = 0;
            }
            shown.banner = true;
        } else {
            levelBannerFrames = 0;
        }
    }
    shown.era = era;
}

void World::AdvanceBombCooldown() {
    if (bombReady) {
        bombCooldownFrames = 0;
        return;
    }
    ++bombCooldownFrames;
    if (bombCooldownFrames > 10) {
        bombReady = 1;
        bombCooldownFrames = 0;
    }
}

void World::RunHeldKeys() {
    if (gameOver) {
        return;
    }
    if (keyFlags & kKeyForward) {
        StepForward();
    }
    if (keyFlags & kKeyBack) {
        StepBack();
    }
    if (keyFlags & kKeyTurnRight) {
        TurnRight();
    }
    if (keyFlags & kKeyTurnLeft) {
        TurnLeft();
    }
    if (keyFlags & kKeyBomb) {
        DropBomb();
    }
    if (keyFlags & kKeyJump) {
        Jump();
    }
}

void World::StepForward() {
    hero.Step(0.1f);
}

void World::StepBack() {
    hero.Step(-0.1f);
}

void World::TurnRight() {
    hero.Turn(-0.07f);
}

void World::TurnLeft() {
    hero.Turn(0.07f);
}

void World::DropBomb() {
    if (bombReady) {
        bombs.Add(hero.position.x, hero.position.y, hero.position.z);
    }
    bombReady = 0;
}

void World::Jump() {
    hero.StartJump();
}

void World::LeaveTitle() {
    keyFlags = 0;
    waitingForStart = 0;
    if (gameOver) {
        levelBannerOn = 1;
        gameOver = 0;
        lives = 3;
        board.level = 0;
        board.Rebuild();
        score = 0;
        ++era;
    }
}

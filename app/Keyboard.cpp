#include "app/Keyboard.h"

#include "game/Game.h"
#include "platform/Keys.h"

int keyFlags = 0;
int bombReady = 1;
int bombCooldownFrames = 0;

int KeyBit(int vk) {
    switch (vk) {
        case VK_UP:
            return kKeyForward;
        case VK_DOWN:
            return kKeyBack;
        case VK_RIGHT:
            return kKeyTurnRight;
        case VK_LEFT:
            return kKeyTurnLeft;
        case VK_CONTROL:
            return kKeyBomb;
        case VK_SHIFT:
            return kKeyJump;
        default:
            return 0;
    }
}

void AdvanceBombCooldown() {
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

void ResetKeyboardState() {
    keyFlags = 0;
    bombReady = 1;
    bombCooldownFrames = 0;
}

void Game::StepForward() {
    hero.Step(0.1f);
}

void Game::StepBack() {
    hero.Step(-0.1f);
}

void Game::TurnRight() {
    hero.Turn(-0.07f);
}

void Game::TurnLeft() {
    hero.Turn(0.07f);
}

void Game::DropBomb() {
    if (bombReady) {
        bombs.Add(hero.position.x, hero.position.y, hero.position.z);
    }
    bombReady = 0;
}

void Game::Jump() {
    hero.StartJump();
}

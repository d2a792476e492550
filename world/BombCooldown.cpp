#include "world/BombCooldown.h"

int bombReady = 1;
int bombCooldownFrames = 0;

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

#pragma once

#include "world/BombCooldown.h"

// Held keys, one bit each; the tick runs the action of every set bit.
constexpr int kKeyForward = 0x01;
constexpr int kKeyBack = 0x02;
constexpr int kKeyTurnRight = 0x04;
constexpr int kKeyTurnLeft = 0x08;
constexpr int kKeyBomb = 0x10;
constexpr int kKeyJump = 0x20;

// Program-wide key state (there is one game).
extern int keyFlags;

// The keyFlags bit of a virtual-key code, 0 for keys without one.
int KeyBit(int vk);
// Back to the program's start values; for tests that begin a fresh run.
void ResetKeyboardState();

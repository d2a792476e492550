#pragma once

// Held keys, one bit each; the tick runs the action of every set bit.
constexpr int kKeyForward = 0x01;
constexpr int kKeyBack = 0x02;
constexpr int kKeyTurnRight = 0x04;
constexpr int kKeyTurnLeft = 0x08;
constexpr int kKeyBomb = 0x10;
constexpr int kKeyJump = 0x20;

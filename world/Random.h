#pragma once

#include <cstdint>

// The game's random numbers: the classic C library sequence (values
// 0..32767), which the game never seeds, so the same keys at the same ticks
// give the same game on every machine. Bombs and enemies share the world's
// one generator; each world has its own, so worlds on several threads never
// disturb each other.
class Random {
  public:
    // Enemy::Wander and Bomb::Burn, in their fixed order of draws.
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

  private:
    uint32_t state_ = 1;
};

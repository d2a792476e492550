#pragma once

#include <gtest/gtest.h>

#include "support/GameHarness.h"
#include "world/Board.h"

// A small window: movement does not depend on it, and tests draw faster.
inline VirtualSystem::Options SmallWindow() {
    VirtualSystem::Options o;
    o.desktopWidth = 320;
    o.desktopHeight = 180;
    return o;
}

// A game in play on an open board without enemies (they would catch the
// hero), with blocks placed where a test wants them; the hero is moved only
// through the player's keys.
class HeroFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        h.StartPlaying();
        h.game().enemies.enemies.Clear();
        for (uint8_t& c : board().cells) {
            c = 2;
        }
    }

    Board& board() { return h.game().board; }
    Hero& hero() { return h.game().hero; }
    void Block(int r, int c) { board().cells[r * kBoardSize + c] = SolidCell; }
    // Puts the hero standing at (x, y) on the floor (z 0.5) or a wall top (1.5).
    void Place(float x, float y, float z = 0.5f) {
        hero().position = Vec3{x, y, z};
        hero().groundHeight = z;
    }
    // Holds a key for n ticks, then lets it go.
    void Hold(int vk, int ticks) {
        h.Press(vk);
        h.Tick(ticks);
        h.Release(vk);
    }

    GameHarness h{SmallWindow()};
};

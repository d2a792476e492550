#pragma once

#include <GL/gl.h>

#include <memory>

#include "app/MainWindow.h"
#include "platform/Keys.h"
#include "platform/virtual/VirtualSystem.h"

// What the benchmarks share: the playing screen, and a game put on it.

inline bool OnPlayingScreen(const Game& game) {
    return game.waitingForStart == 0 && game.gameOver == 0;
}

// A new main window (a new Game: level 1, three lives), Space pressed, and
// the hero walking in circles: the hero, the enemies, bombs and their blasts
// stay on screen. A hero caught in its first ticks gets yet another game.
inline void StartPlayingGame(VirtualSystem& sys, std::unique_ptr<MainWindow>& window) {
    do {
        if (window) {
            sys.Close();
        }
        window = std::make_unique<MainWindow>();
        sys.Open(*window);
        sys.KeyDown(VK_SPACE);
        sys.KeyUp(VK_SPACE);
        sys.KeyDown(VK_UP);
        sys.KeyDown(VK_LEFT);
        sys.RunTicks(5);
    } while (!OnPlayingScreen(window->game));
    glFinish();
}

#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/MainWindow.h"
#include "platform/virtual/VirtualSystem.h"
#include "render/GlRenderer.h"

// The real main window and game at virtual time on an offscreen context.
class GameHarness {
  public:
    explicit GameHarness(const VirtualSystem::Options& options = {});
    ~GameHarness();

    Game& game() { return window->game; }
    // The game's fixed-function renderer, which these tests draw with.
    GlRenderer& gl() { return static_cast<GlRenderer&>(*window->game.renderer); }
    // Runs n ticks; false once the program has ended.
    bool Tick(uint64_t n = 1) { return sys.RunTicks(n); }
    void Press(int vk) { sys.KeyDown(vk); }
    void Release(int vk) { sys.KeyUp(vk); }
    // Leaves the title screen and runs the first playing frame.
    void StartPlaying();

    // The last frame, RGB, top row first.
    void Grab();
    const uint8_t* PixelAt(int x, int y) const {
        return &frame[(static_cast<size_t>(y) * width + x) * 3];
    }
    // Pixels in the rectangle whose colour is within tol of (r, g, b).
    int CountColour(int x0, int y0, int x1, int y1, int r, int g, int b, int tol = 40) const;

    VirtualSystem sys;
    std::unique_ptr<MainWindow> window;
    std::vector<uint8_t> frame;
    int width = 0;
    int height = 0;
};

#include "support/GameHarness.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Keys.h"

GameHarness::GameHarness(const VirtualSystem::Options& options) : sys(options) {
    SetSys(&sys);
    window = std::make_unique<MainWindow>();
    sys.Open(*window);
}

GameHarness::~GameHarness() {
    sys.Close();
    window.reset();
    SetSys(nullptr);
}

void GameHarness::StartPlaying() {
    Press(VK_SPACE);
    Release(VK_SPACE);
    Tick();
}

void GameHarness::Grab() {
    sys.ReadPixels(frame, width, height);
}

int GameHarness::CountColour(int x0, int y0, int x1, int y1, int r, int g, int b, int tol) const {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(height, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(width, x1); ++x) {
            const uint8_t* p = PixelAt(x, y);
            if (std::abs(p[0] - r) <= tol && std::abs(p[1] - g) <= tol &&
                std::abs(p[2] - b) <= tol) {
                ++n;
            }
        }
    }
    return n;
}

#pragma once

#include <cstdint>

#include "world/Box.h"

constexpr int kBoardSize = 15;
// The cell code of a block; open floor is 1 or 2.
constexpr uint8_t SolidCell = 0;

// The 15 x 15 playing field: which cells are blocks and which level it is.
class Board {
  public:
    virtual ~Board() = default;

    // Once from Game::Init: level 0 and its layout. Answers true.
    bool Init();
    // Copies layout (level mod 8) into the cells. Board::Init, a new game
    // and a cleared level call it after they set level.
    void Rebuild();
    // The box of cell (r, c): x r-7..r-6, y c-7..c-6, z 0..1.
    Box CellBox(int r, int c) const;

    // Row-major: cell (r, c) is cells[r * kBoardSize + c].
    uint8_t cells[kBoardSize * kBoardSize] = {};
    // 0 .. 10; the HUD shows level + 1.
    int level = 0;
};

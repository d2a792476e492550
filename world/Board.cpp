#include "world/Board.h"

#include "world/Levels.h"

bool Board::Init() {
    level = 0;
    Rebuild();
    return true;
}

void Board::Rebuild() {
    // level is never negative in play; the guard keeps a stray value on the table.
    const int layout = ((level % kLevelCount) + kLevelCount) % kLevelCount;
    for (int i = 0; i < kBoardSize * kBoardSize; ++i) {
        cells[i] = static_cast<uint8_t>(kLevelLayouts[layout][i] - '0');
    }
}

Box Board::CellBox(int r, int c) const {
    return Box{static_cast<float>(r - 7), static_cast<float>(c - 7), 0.0f,
               static_cast<float>(r - 6), static_cast<float>(c - 6), 1.0f};
}

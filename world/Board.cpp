#include "world/Board.h"

bool Board::Init() {
    level = 0;
    Rebuild();
    return true;
}

void Board::Rebuild() {
    for (uint8_t& c : cells) {
        c = 2;
    }
}

void Board::Draw() {}

Box Board::CellBox(int r, int c) const {
    return Box{static_cast<float>(r - 7), static_cast<float>(c - 7), 0.0f,
               static_cast<float>(r - 6), static_cast<float>(c - 6), 1.0f};
}

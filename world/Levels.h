#pragma once

constexpr int kLevelCount = 8;
constexpr int kLayoutCells = 15 * 15;

// The compiled-in board layouts, one character per cell in row order (row 0
// first, 15 per row): '0' a block, '1' and '2' open floor. Board::Rebuild
// copies layout (level mod 8).
extern const char kLevelLayouts[kLevelCount][kLayoutCells + 1];

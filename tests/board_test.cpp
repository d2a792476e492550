#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "world/Board.h"
#include "world/Levels.h"

namespace {

// The layouts as the level designer's table lists them: one line per row,
// the eight layouts side by side.
const char* const kTable[15][kLevelCount] = {
    {"000000000000000", "000000000000000", "000000000000000", "000000000000000", "000000000000000",
     "000000000000000", "000000000000000", "000000000000000"},
    {"012222222222210", "012222222222210", "012022222222210", "012022222222210", "012022222222210",
     "012222222222210", "012022222222210", "012222222222210"},
    {"020020000020020", "020020202202020", "022222222222220", "022222222222220", "022222222222220",
     "020200202202020", "020220202202020", "020202202202020"},
    {"020222222222020", "022020202222020", "022020202222020", "022020202222020", "022020222222020",
     "022220202222020", "022020222222020", "022222222222220"},
    {"022200220002220", "022022222022220", "022020022022220", "022022222022220", "022022222022220",
     "022022222022220", "022022222022220", "022022222022220"},
    {"020202222002220", "020222002222220", "020222220020020", "020222222222220", "020222202222220",
     "020222222222220", "020222222222220", "020222222222220"},
    {"020222222222020", "022222222222220", "020000222220020", "022222222222220", "022222222222220",
     "020202222202020", "022222222222220", "022222222222220"},
    {"020222222222020", "020022220022020", "022222220022020", "020022220022020", "020022222022020",
     "022222222022020", "020022220022020", "022022222022020"},
    {"022202222202220", "022022222222020", "020222222222020", "022222222222020", "022222222222020",
     "022022222222020", "022222222222020", "022020202222220"},
    {"020000220000020", "020022220022020", "020200200022020", "020020220022020", "020022220022020",
     "020022220022020", "020022220022020", "020022220022020"},
    {"022222222222220", "022222222222220", "022200200022220", "022222202222220", "022222222222220",
     "022222222222220", "022222222222220", "022222222222220"},
    {"020200022020220", "020200222020220", "020002220020220", "020020002000220", "020222002000220",
     "020200222020220", "020220222022220", "020222000222220"},
    {"020202022020220", "020200222020220", "020000200020220", "020020002000220", "020022022022220",
     "020220222020220", "022020222002220", "020202222020220"},
    {"012222222222210", "012222222222210", "012222222222210", "012222222222210", "012222222222210",
     "012222222222210", "012222222222210", "012222222222210"},
    {"000000000000000", "000000000000000", "000000000000000", "000000000000000", "000000000000000",
     "000000000000000", "000000000000000", "000000000000000"},
};

uint8_t Cell(const Board& b, int r, int c) {
    return b.cells[r * kBoardSize + c];
}

bool OverlapsSolid(const Board& b, const Box& box) {
    for (int r = 0; r < kBoardSize; ++r) {
        for (int c = 0; c < kBoardSize; ++c) {
            if (Cell(b, r, c) == SolidCell && BoxesOverlap(b.CellBox(r, c), box)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

TEST(BoardLayouts, MatchTheDesignTableCharacterForCharacter) {
    for (int l = 0; l < kLevelCount; ++l) {
        ASSERT_EQ(std::strlen(kLevelLayouts[l]), static_cast<size_t>(kLayoutCells)) << l;
        for (int r = 0; r < 15; ++r) {
            EXPECT_EQ(std::string(kLevelLayouts[l] + r * 15, 15), kTable[r][l])
                << "layout " << l << " row " << r;
        }
    }
}

TEST(BoardLayouts, KeepBorderCornersAndCentre) {
    Board b;
    for (int l = 0; l < kLevelCount; ++l) {
        b.level = l;
        b.Rebuild();
        for (int i = 0; i < kBoardSize; ++i) {
            EXPECT_EQ(Cell(b, 0, i), SolidCell) << l;
            EXPECT_EQ(Cell(b, 14, i), SolidCell) << l;
            EXPECT_EQ(Cell(b, i, 0), SolidCell) << l;
            EXPECT_EQ(Cell(b, i, 14), SolidCell) << l;
        }
        int ones = 0;
        for (const uint8_t code : b.cells) {
            EXPECT_LE(code, 2) << l;
            ones += code == 1;
        }
        EXPECT_EQ(ones, 4) << l;
        for (const auto& [r, c] : {std::pair{1, 1}, {1, 13}, {13, 1}, {13, 13}}) {
            EXPECT_EQ(Cell(b, r, c), 1) << l;
        }
        for (const auto& [r, c] : {std::pair{6, 6}, {6, 7}, {7, 6}, {7, 7}}) {
            EXPECT_NE(Cell(b, r, c), SolidCell) << l;
        }
        // The hero's start box is clear; a step into the border is not.
        EXPECT_FALSE(OverlapsSolid(b, Box{-5.75f, -5.75f, 0.25f, -5.25f, -5.25f, 0.75f})) << l;
        EXPECT_TRUE(OverlapsSolid(b, Box{-6.45f, -5.75f, 0.25f, -5.95f, -5.25f, 0.75f})) << l;
    }
}

TEST(Board, RebuildPicksLayoutByLevelModEight) {
    Board b;
    for (const auto& [level, layout] : {std::pair{0, 0}, {3, 3}, {7, 7}, {8, 0}, {9, 1}, {10, 2}}) {
        b.level = level;
        b.Rebuild();
        for (int i = 0; i < kLayoutCells; ++i) {
            ASSERT_EQ(b.cells[i], kLevelLayouts[layout][i] - '0') << level << " cell " << i;
        }
    }
}

TEST(Board, CellBoxCoversItsUnitCell) {
    const Board b;
    const Box first = b.CellBox(0, 0);
    EXPECT_FLOAT_EQ(first.minX, -7.0f);
    EXPECT_FLOAT_EQ(first.minY, -7.0f);
    EXPECT_FLOAT_EQ(first.minZ, 0.0f);
    EXPECT_FLOAT_EQ(first.maxX, -6.0f);
    EXPECT_FLOAT_EQ(first.maxY, -6.0f);
    EXPECT_FLOAT_EQ(first.maxZ, 1.0f);
    // Rows run along x, columns along y.
    const Box b3 = b.CellBox(3, 11);
    EXPECT_FLOAT_EQ(b3.minX, -4.0f);
    EXPECT_FLOAT_EQ(b3.minY, 4.0f);
    const Box last = b.CellBox(14, 14);
    EXPECT_FLOAT_EQ(last.maxX, 8.0f);
    EXPECT_FLOAT_EQ(last.maxY, 8.0f);
}

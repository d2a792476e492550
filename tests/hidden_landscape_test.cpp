#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "render/HiddenLandscape.h"
#include "world/Board.h"
#include "world/Models.h"

namespace {

// Five triangles: deep under the board's middle, deep but reaching past the
// board's edge, just under the floor, the far mountains, and deep under a corner.
const MeshVertex kVertices[] = {
    {-1, -1, -10, 0, 0, 0},   {1, -1, -10, 0, 0, 0},   {0, 1, -10, 0, 0, 0},
    {6, 0, -10, 0, 0, 0},     {30, 0, -10, 0, 0, 0},   {6, 3, -10, 0, 0, 0},
    {-1, -1, -0.5f, 0, 0, 0}, {1, -1, -0.5f, 0, 0, 0}, {0, 1, -0.5f, 0, 0, 0},
    {40, 0, 20, 0, 0, 0},     {50, 0, 20, 0, 0, 0},    {45, 5, 22, 0, 0, 0},
    {-6, -6, -4, 0, 0, 0},    {-5, -6, -4, 0, 0, 0},   {-6, -5, -4, 0, 0, 0},
};
const uint32_t kIndices[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
const Mesh kMesh{kVertices, 15, kIndices, 15};

std::vector<int> KeptTriangles(const Mesh& m) {
    std::vector<int> kept;
    for (int t = 0; t < m.indexCount; t += 3) {
        kept.push_back(static_cast<int>(m.indices[t] / 3));
    }
    return kept;
}

TEST(HiddenLandscape, LeavesOutOnlyWhatTheBoardHides) {
    uint8_t level[kBoardSize * kBoardSize];
    Board board;
    board.Init();
    std::copy(std::begin(board.cells), std::end(board.cells), level);
    uint8_t holed[kBoardSize * kBoardSize];
    std::copy(std::begin(level), std::end(level), holed);
    holed[7 * kBoardSize + 7] = 3;  // a cell that draws nothing
    struct Case {
        const char* what;
        Vec3 eye;
        const uint8_t* cells;
        std::vector<int> kept;
    };
    const Case cases[] = {
        {"straight above the middle", {0.5f, 0.5f, 6.0f}, level, {1, 2, 3}},
        {"the game's camera over a corner", {-4.0f, -4.0f, 5.5f}, level, {1, 2, 3}},
        // From far out every view slides off the board.
        {"an eye far beside the board", {40.0f, 0.5f, 2.0f}, level, {0, 1, 2, 3, 4}},
        {"an eye below the block tops", {0.5f, 0.5f, 0.9f}, level, {0, 1, 2, 3, 4}},
        {"a board with a hole", {0.5f, 0.5f, 6.0f}, holed, {0, 1, 2, 3, 4}},
    };
    HiddenLandscape hidden;
    for (const Case& c : cases) {
        const Mesh m = hidden.Visible(kMesh, c.eye, c.cells);
        EXPECT_EQ(KeptTriangles(m), c.kept) << c.what;
        EXPECT_EQ(m.vertices, kMesh.vertices) << c.what;
    }
}

// The real landscape from the game's camera: the valley's middle goes, the mountains stay.
TEST(HiddenLandscape, GameLandscapeLosesTheValleyUnderTheBoard) {
    Board board;
    board.Init();
    HiddenLandscape hidden;
    const Mesh m = hidden.Visible(landscapeMesh, {0.5f, -5.5f, 5.5f}, board.cells);
    EXPECT_LT(m.indexCount, landscapeMesh.indexCount - 30);
    EXPECT_GT(m.indexCount, landscapeMesh.indexCount / 2);
}

}  // namespace

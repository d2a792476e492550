#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "world/Box.h"

constexpr int kBoardSize = 15;
// The cell code of a block; open floor is 1 or 2.
constexpr uint8_t SolidCell = 0;

// The 15 x 15 playing field: which cells are blocks, its four textures, and
// the drawing of blocks, floor and the landscape around them.
class Board {
  public:
    virtual ~Board() = default;

    // Once from Game::Init, after the OpenGL context exists: level 0, its
    // layout, the textures, and the landscape's texture coordinates scaled.
    // Answers true even when a picture could not be loaded.
    bool Init();
    // Copies layout (level mod 8) into the cells. Board::Init, a new game
    // and a cleared level call it after they set level.
    void Rebuild();
    // From Board::Init: "wood.bmp", "board.bmp", "top.bmp", "LandScape.bmp" in
    // turn; the first that fails shows its message and ends the loading.
    bool LoadTextures();
    // Once per playing frame, right after the camera and the clear.
    void Draw();
    // The box of cell (r, c): x r-7..r-6, y c-7..c-6, z 0..1.
    Box CellBox(int r, int c) const;

    // Row-major: cell (r, c) is cells[r * kBoardSize + c].
    uint8_t cells[kBoardSize * kBoardSize] = {};
    // 0 .. 10; the HUD shows level + 1.
    int level = 0;
    GLuint floorTexture = 0;
    GLuint wallTexture = 0;
    GLuint topTexture = 0;
    GLuint landscapeTexture = 0;

  private:
    void DrawBlock(float x0, float y0, float x1, float y1) const;
    void DrawFloor(float x0, float y0, float x1, float y1) const;
};

#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "world/Box.h"

constexpr int kBoardSize = 15;
constexpr uint8_t SolidCell = 0;

// The 15 x 15 playing field. (Stand-in until the board is built: an empty
// field that draws nothing.)
class Board {
  public:
    virtual ~Board() = default;

    // Once from Game::Init, after the OpenGL context exists.
    bool Init();
    // Copies the layout of the current level into the cells.
    void Rebuild();
    // Once per playing frame, right after the camera and the clear.
    void Draw();
    // The box of cell (r, c).
    Box CellBox(int r, int c) const;

    uint8_t cells[kBoardSize * kBoardSize] = {};
    int level = 0;
    GLuint floorTexture = 0;
    GLuint wallTexture = 0;
    GLuint topTexture = 0;
    GLuint landscapeTexture = 0;
};

#pragma once

#include <cstdint>
#include <vector>

#include "world/Mesh.h"
#include "world/Vec3.h"

// The landscape's triangles that can show past the board. Its valley lies
// deep under the board, and every ray from an eye above the board that
// crosses z = 0 inside the board meets the board first: a triangle below
// z = 0 whose whole view from the eye falls on the board only feeds the
// rasteriser fragments that fail the depth test. Leaving those out changes
// no pixel and saves a good part of the landscape's fill.
class HiddenLandscape {
  public:
    // FrameWalk, every playing frame: the landscape as mesh,
    // less the triangles hidden under the board for this eye, the others in
    // their order. Every triangle stays when the board has a hole (a cell
    // that draws nothing) or the eye is not above the blocks. The result
    // points into this object and lives until the next call.
    Mesh Visible(const Mesh& landscape, const Vec3& eye, const uint8_t* cells);

  private:
    std::vector<uint32_t> indices_;
};

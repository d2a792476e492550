#pragma once

#include <cstdint>
#include <vector>

// One level of a texture's mipmap chain: packed rows of `components` bytes
// per pixel, row 0 first.
struct MipLevel {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// The mipmap chain the desktop's GLU makes of a picture, built without any
// OpenGL so that a renderer without GLU (OpenGL ES, WebGL) uploads the same
// texels: sides rounded to a power of two (a side whose two leading bits are
// set rounds up, any other down), a picture of another size scaled to it
// with an area-weighted box filter, then every level halved by averaging
// 2x2 (or, once a side is 1, 2x1) blocks down to 1x1. Gles2Renderer calls it
// for every texture it loads. components is 1..4; rows are packed. Empty
// when the size is not positive or there are no pixels.
class MipmapChain {
  public:
    static std::vector<MipLevel> Build(int width, int height, int components, const uint8_t* pixels,
                                       bool allLevels = true);
    // GLU's power of two for a side (tests).
    static int NearestPower(int side);
};

#pragma once

#include <cstdint>
#include <vector>

#include "platform/Rect.h"
#include "platform/linux/FontRaster.h"

// A 32-bit pixel buffer (0xAARRGGBB, row 0 at the top) that dialogs are
// painted into before the backend copies it to the window.
class Canvas {
  public:
    Canvas(int width, int height, uint32_t fill = 0xFF000000u);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const uint32_t* Pixels() const { return pixels_.data(); }
    // Colour at (x, y); 0 outside.
    uint32_t At(int x, int y) const;

    // Every operation clips to the canvas and to the given clip rectangle.
    void FillRect(const Rect& r, uint32_t color);
    // One-pixel frame just inside the rectangle.
    void FrameRect(const Rect& r, uint32_t color);
    // Blends a glyph of the given colour with its pen at (penX, baseline).
    void DrawGlyph(const FontRaster::Glyph& g, int penX, int baseline, uint32_t color,
                   const Rect& clip);
    // Blends 32-bit RGBA pixels (byte order R, G, B, A) with their top-left at (x, y).
    void DrawRgba(const uint8_t* rgba, int width, int height, int x, int y);

  private:
    void Blend(int x, int y, uint32_t color, unsigned alpha);

    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};

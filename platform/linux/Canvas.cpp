#include "platform/linux/Canvas.h"

#include <algorithm>

namespace {

Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) {
        r.right = r.left;
    }
    if (r.bottom < r.top) {
        r.bottom = r.top;
    }
    return r;
}

unsigned Mix(unsigned dst, unsigned src, unsigned alpha) {
    return (src * alpha + dst * (255 - alpha) + 127) / 255;
}

}  // namespace

Canvas::Canvas(int width, int height, uint32_t fill)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<size_t>(width_) * height_, fill) {}

uint32_t Canvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::FillRect(const Rect& r, uint32_t color) {
    const Rect c = Intersect(r, Rect{0, 0, width_, height_});
    for (int y = c.top; y < c.bottom; ++y) {
        std::fill_n(pixels_.begin() + static_cast<long>(y) * width_ + c.left, c.Width(), color);
    }
}

void Canvas::FrameRect(const Rect& r, uint32_t color) {
    if (r.Width() <= 0 || r.Height() <= 0) {
        return;
    }
    FillRect(Rect{r.left, r.top, r.right, r.top + 1}, color);
    FillRect(Rect{r.left, r.bottom - 1, r.right, r.bottom}, color);
    FillRect(Rect{r.left, r.top, r.left + 1, r.bottom}, color);
    FillRect(Rect{r.right - 1, r.top, r.right, r.bottom}, color);
}

void Canvas::Blend(int x, int y, uint32_t color, unsigned alpha) {
    uint32_t& dst = pixels_[static_cast<size_t>(y) * width_ + x];
    const unsigned r = Mix((dst >> 16) & 0xFF, (color >> 16) & 0xFF, alpha);
    const unsigned g = Mix((dst >> 8) & 0xFF, (color >> 8) & 0xFF, alpha);
    const unsigned b = Mix(dst & 0xFF, color & 0xFF, alpha);
    dst = 0xFF000000u | (r << 16) | (g << 8) | b;
}

void Canvas::DrawGlyph(const FontRaster::Glyph& g, int penX, int baseline, uint32_t color,
                       const Rect& clip) {
    const Rect c = Intersect(clip, Rect{0, 0, width_, height_});
    const int x0 = penX + g.left;
    const int y0 = baseline - g.top;
    for (int y = 0; y < g.rows; ++y) {
        const int py = y0 + y;
        if (py < c.top || py >= c.bottom) {
            continue;
        }
        for (int x = 0; x < g.width; ++x) {
            const int px = x0 + x;
            const unsigned cov = g.coverage[static_cast<size_t>(y) * g.width + x];
            if (px >= c.left && px < c.right && cov != 0) {
                Blend(px, py, color, cov);
            }
        }
    }
}

void Canvas::DrawRgba(const uint8_t* rgba, int width, int height, int x, int y) {
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const int px = x + col;
            const int py = y + row;
            if (px < 0 || py < 0 || px >= width_ || py >= height_) {
                continue;
            }
            const uint8_t* p = rgba + (static_cast<size_t>(row) * width + col) * 4;
            const uint32_t color = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
            if (p[3] != 0) {
                Blend(px, py, color, p[3]);
            }
        }
    }
}

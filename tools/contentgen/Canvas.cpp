#include "tools/contentgen/Canvas.h"

#include <cmath>

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

Rgb& Canvas::Wrapped(int x, int y) {
    x = ((x % width_) + width_) % width_;
    y = ((y % height_) + height_) % height_;
    return At(x, y);
}

void Canvas::Fill(Rgb c) {
    for (Rgb& p : pixels_) {
        p = c;
    }
}

void Canvas::Blend(int x, int y, Rgb c, double a) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || a <= 0) {
        return;
    }
    Rgb& p = At(x, y);
    p = MixRgb(p, c, a > 1 ? 1 : a);
}

Rgb Canvas::Sample(double x, double y) const {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = x - fx, ty = y - fy;
    auto at = [&](int px, int py) {
        px = ((px % width_) + width_) % width_;
        py = ((py % height_) + height_) % height_;
        return At(px, py);
    };
    const Rgb top = MixRgb(at(ix, iy), at(ix + 1, iy), tx);
    const Rgb bottom = MixRgb(at(ix, iy + 1), at(ix + 1, iy + 1), tx);
    return MixRgb(top, bottom, ty);
}

uint8_t ToByte(double c) {
    const double v = std::round(c * 255.0);
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

std::vector<uint8_t> Canvas::ToBytes() const {
    std::vector<uint8_t> out;
    out.reserve(pixels_.size() * 3);
    for (const Rgb& p : pixels_) {
        out.push_back(ToByte(p.r));
        out.push_back(ToByte(p.g));
        out.push_back(ToByte(p.b));
    }
    return out;
}

Canvas Canvas::Downsampled() const {
    Canvas half(width_ / 2, height_ / 2);
    for (int y = 0; y < half.height_; ++y) {
        for (int x = 0; x < half.width_; ++x) {
            half.At(x, y) = (At(2 * x, 2 * y) + At(2 * x + 1, 2 * y) + At(2 * x, 2 * y + 1) +
                             At(2 * x + 1, 2 * y + 1)) *
                            0.25;
        }
    }
    return half;
}

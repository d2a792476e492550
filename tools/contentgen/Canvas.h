#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A colour with components 0..1 (or beyond, clamped when written).
struct Rgb {
    double r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator*(Rgb a, double s) {
    return {a.r * s, a.g * s, a.b * s};
}
inline Rgb operator*(Rgb a, Rgb b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Rgb MixRgb(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
// 0xRRGGBB to a colour.
inline Rgb Hex(uint32_t c) {
    return {((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0, (c & 255) / 255.0};
}

// A picture being painted. Row 0 is the first texture row (t = 0); the
// writers store the rows in whichever order the game's reader expects.
class Canvas {
  public:
    Canvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgb& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Coordinates wrap around both ways.
    Rgb& Wrapped(int x, int y);
    void Fill(Rgb c);
    // Mixes c over the pixel with coverage a (0..1); outside pixels are ignored.
    void Blend(int x, int y, Rgb c, double a);
    // Bilinear sample at pixel coordinates, wrapping.
    Rgb Sample(double x, double y) const;
    // 8-bit red, green, blue per pixel, rows in canvas order.
    std::vector<uint8_t> ToBytes() const;
    // Halves the size by averaging 2 x 2 blocks (supersampled painting).
    Canvas Downsampled() const;

  private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

uint8_t ToByte(double c);

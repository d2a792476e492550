// The board's pictures: crate sides, floor tiles, the iron block tops and the
// landscape's grass and rock.
#include <algorithm>
#include <cmath>

#include "tools/contentgen/Textures.h"
#include "tools/gen/Noise.h"
#include "tools/gen/Vec.h"

namespace {

double Frac(double x) {
    return x - std::floor(x);
}

// Wood with its grain along a; b across the grain. seed varies the board.
Rgb Wood(double a, double b, uint32_t seed, double shade) {
    const double warp = Fractal(a * 0.012, b * 0.05, 64, 3, seed) - 0.5;
    const double rings = Frac(b * 0.09 + warp * 2.2 + Hash01(seed) * 7);
    const double band = Smooth(0.0, 0.35, rings) * (1 - Smooth(0.55, 1.0, rings));
    const double streak = Fractal(a * 0.01, b * 0.9, 256, 3, seed + 5) - 0.5;
    const Rgb light = Hex(0xC08A52), dark = Hex(0x7A4E2A);
    Rgb c = MixRgb(dark, light, 0.35 + 0.55 * band + 0.5 * streak);
    const double knotX = 40 + 170 * Hash01(seed, 1), knotY = Hash01(seed, 2) * 60;
    const double kd = std::hypot((a - knotX) * 0.6, b - knotY);
    c = MixRgb(c, Hex(0x5A361C), 0.8 * (1 - Smooth(2, 7, kd)));
    return c * shade;
}

// Darkening towards the edges of a rectangle, lit from the top left.
double Bevel(double x, double y, double x0, double y0, double x1, double y1, double width) {
    const double dl = x - x0, dr = x1 - x, dt = y - y0, db = y1 - y;
    double s = 1.0;
    s += 0.18 * (1 - Smooth(0, width, dt)) + 0.1 * (1 - Smooth(0, width, dl));
    s -= 0.28 * (1 - Smooth(0, width, db)) + 0.2 * (1 - Smooth(0, width, dr));
    const double edge = std::min({dl, dr, dt, db});
    return s * (0.55 + 0.45 * Smooth(0, 1.6, edge));
}

Rgb Nail(Rgb base, double dx, double dy) {
    const double d = std::hypot(dx, dy);
    if (d > 4.5) {
        return base;
    }
    const double lit = Clamp01(0.55 - 0.12 * (dx + dy));
    return MixRgb(base, Hex(0x3A3A3E) * (0.7 + lit), 1 - Smooth(3.5, 4.5, d));
}

}  // namespace

Canvas PaintWood() {
    const int n = 256, border = 22;
    Canvas c(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            Rgb col;
            const bool frameSide = px < border || px > n - border;
            const bool frameTop = py < border || py > n - border;
            if (frameTop && !(frameSide && py > border && py < n - border)) {
                const bool top = py < border;
                const double y0 = top ? 0 : n - border;
                col = Wood(px, py, top ? 11 : 12, 0.82) * Bevel(px, py, 0, y0, n, y0 + border, 4);
            } else if (frameSide) {
                const bool left = px < border;
                const double x0 = left ? 0 : n - border;
                col = Wood(py, px, left ? 13 : 14, 0.82) *
                      Bevel(px, py, x0, border, x0 + border, n - border, 4);
            } else {
                // Three planks across, behind a diagonal brace.
                const double inner = (py - border) / (n - 2.0 * border);
                const int plank = std::min(2, static_cast<int>(inner * 3));
                const double p0 = border + plank * (n - 2.0 * border) / 3;
                const double p1 = p0 + (n - 2.0 * border) / 3;
                col = Wood(px, py, 20 + plank, 1.0) * Bevel(px, py, border, p0, n - border, p1, 3);
                const double dd = (px - border) - (n - border - py);
                const double across = dd / std::sqrt(2.0);
                if (std::fabs(across) < 15) {
                    const double along = (px + (n - py)) / std::sqrt(2.0);
                    col = Wood(along, across, 30, 0.9) *
                          (1.0 -
                           0.35 * (1 - Smooth(10, 15, std::fabs(across))) * (across > 0 ? 1 : 0.4));
                } else if (std::fabs(across) < 18) {
                    col = col * (0.55 + 0.45 * Smooth(15, 18, std::fabs(across)));  // its shadow
                }
            }
            for (double nx : {11.0, n - 11.0}) {
                for (double ny : {11.0, n - 11.0}) {
                    col = Nail(col, px - nx, py - ny);
                }
            }
            c.At(x, y) = col;
        }
    }
    return c;
}

Canvas PaintFloor() {
    const int n = 256, tile = 128;
    Canvas c(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const int tx = x / tile, ty = y / tile;
            const uint32_t id = tx + 2 * ty;
            const double lx = px - tx * tile, ly = py - ty * tile;
            const double grout = 4;
            Rgb stone = MixRgb(Hex(0x8E8678), Hex(0xA39A89), Hash01(id, 3));
            const double mottled = Fractal(px / 32, py / 32, 8, 5, 40 + id) - 0.5;
            const double speck = Hash01(x, y, 41);
            stone = stone *
                    (1 + 0.35 * mottled + (speck > 0.985 ? -0.25 : 0) + (speck < 0.01 ? 0.12 : 0));
            // A faint crack in some tiles.
            const double crack =
                std::fabs(ly - tile * (0.3 + 0.4 * Hash01(id, 4)) - 18 * std::sin(lx / 19 + id) -
                          12 * (Fractal(lx / 16, ly / 16, 8, 2, id) - 0.5));
            if (Hash01(id, 5) > 0.5) {
                stone = stone * (0.75 + 0.25 * Smooth(0.3, 1.3, crack));
            }
            const double shade = Bevel(lx, ly, grout, grout, tile - grout, tile - grout, 6) * 0.97;
            const bool inGrout = lx < grout || ly < grout || lx > tile - grout || ly > tile - grout;
            c.At(x, y) = inGrout ? Hex(0x4A453E) * (0.9 + 0.2 * speck) : stone * shade;
        }
    }
    return c;
}

Canvas PaintBlockTop() {
    const int n = 256, border = 16;
    Canvas c(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const Rgb steel = Hex(0x6E7A86);
            const double grime = Fractal(px / 32, py / 32, 8, 4, 60) - 0.5;
            Rgb col = steel * (1 + 0.25 * grime);
            if (px > border && py > border && px < n - border && py < n - border) {
                // Diamond tread: raised bars, alternating in direction.
                const double cell = 28;
                const double gx = (px - border) / cell, gy = (py - border) / cell;
                const int ix = static_cast<int>(std::floor(gx)),
                          iy = static_cast<int>(std::floor(gy));
                const double fx = gx - ix - 0.5, fy = gy - iy - 0.5;
                const double dir = ((ix + iy) % 2 == 0) ? 1 : -1;
                const double a = (fx + dir * fy) / std::sqrt(2.0);
                const double b = (fx - dir * fy) / std::sqrt(2.0);
                const double bar = std::pow(a / 0.34, 2) + std::pow(b / 0.09, 2);
                if (bar < 1) {
                    const double light = 1.15 + 0.35 * (-b * dir - a) / 0.4;
                    col = col * Mix(light, 1.0, Smooth(0.7, 1.0, bar));
                } else if (bar < 1.6) {
                    col = col * (0.85 + 0.15 * Smooth(1.0, 1.6, bar));
                }
                col = col * Bevel(px, py, border, border, n - border, n - border, 3);
            } else {
                col = col * 1.08 * Bevel(px, py, 0, 0, n, n, 6);
            }
            for (double nx : {8.0, n - 8.0}) {
                for (double ny : {8.0, n - 8.0}) {
                    col = Nail(col, px - nx, py - ny);
                }
            }
            c.At(x, y) = col;
        }
    }
    return c;
}

Canvas PaintLandscape() {
    // The picture repeats twenty times each way over the mountains, so it has
    // no feature as large as itself: fine grass with small stones and scree.
    const int n = 256;
    Canvas c(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double fx = x / static_cast<double>(n), fy = y / static_cast<double>(n);
            const double g = Fractal(fx * 8, fy * 8, 8, 5, 70);
            const double blade = Fractal(fx * 64, fy * 64, 64, 2, 71);
            Rgb grass = MixRgb(Hex(0x2F5A22), Hex(0x5A8A34), Smooth(0.25, 0.75, g));
            grass = grass * (0.8 + 0.4 * blade);
            const double rockness = Fractal(fx * 6, fy * 6, 6, 5, 72);
            const double cracks = std::fabs(Fractal(fx * 16, fy * 16, 16, 3, 73) - 0.5);
            Rgb rock = MixRgb(Hex(0x5E5A54), Hex(0x8C877C), Fractal(fx * 32, fy * 32, 32, 3, 74));
            rock = rock * (0.75 + 0.25 * Smooth(0.0, 0.06, cracks));
            const double dirt = Smooth(0.6, 0.72, Fractal(fx * 12, fy * 12, 12, 3, 75));
            grass = MixRgb(grass, Hex(0x6A5438) * (0.8 + 0.3 * blade), dirt * 0.5);
            c.At(x, y) = MixRgb(grass, rock, Smooth(0.6, 0.66, rockness) * 0.9);
        }
    }
    return c;
}

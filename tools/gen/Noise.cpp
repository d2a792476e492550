#include "tools/gen/Noise.h"

#include <cmath>

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = 0x9E3779B9u ^ a;
    h = (h ^ (h >> 16)) * 0x85EBCA6Bu;
    h ^= b + 0x7F4A7C15u + (h << 6) + (h >> 2);
    h = (h ^ (h >> 13)) * 0xC2B2AE35u;
    h ^= c + 0x165667B1u + (h << 6) + (h >> 2);
    h = (h ^ (h >> 16)) * 0x85EBCA6Bu;
    return h ^ (h >> 15);
}

double Hash01(uint32_t a, uint32_t b, uint32_t c) {
    return (Hash(a, b, c) & 0xFFFFFF) / 16777216.0;
}

double ValueNoise(double x, double y, int period, uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = x - fx, ty = y - fy;
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    auto at = [&](int cx, int cy) {
        cx = ((cx % period) + period) % period;
        cy = ((cy % period) + period) % period;
        return Hash01(static_cast<uint32_t>(cx), static_cast<uint32_t>(cy), seed);
    };
    const double a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double Fractal(double x, double y, int period, int octaves, uint32_t seed) {
    double sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * ValueNoise(x, y, period, seed + 7919u * o);
        norm += amp;
        amp *= 0.5;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / norm;
}

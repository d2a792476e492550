// Skins of the bomb and the enemy, and the hero's shadow.
#include <algorithm>
#include <cmath>

#include "tools/contentgen/Shading.h"
#include "tools/contentgen/Textures.h"
#include "tools/gen/BombModel.h"
#include "tools/gen/EnemyModel.h"
#include "tools/gen/Noise.h"

namespace {

Rgb Shade(Rgb base, V3 n, double shine, double power) {
    const double h = Highlight(n, power) * shine;
    return base * Diffuse(n) + Rgb{h, h, h};
}

Rgb BombBody(double s, double t) {
    const V3 p = bomb::BodyPoint(s, t);
    const V3 n = Normalize(p - V3{0, 0, -0.012});
    Rgb base = Hex(0x1C2028);
    const double grain = Fractal(s * 16, t * 8, 16, 3, 80) - 0.5;
    base = base * (1 + 0.4 * grain);
    double shine = 0.55;
    // A riveted band round the middle.
    const double band = std::fabs(p.z + 0.012);
    if (band < 0.02) {
        base = Hex(0x3A3F48) * (band > 0.016 ? 0.6 : 1.0);
        shine = 0.4;
        const double rs = s * 16 - std::floor(s * 16) - 0.5;
        if (std::hypot(rs * 0.06, band * 0.9) < 0.007) {
            base = Hex(0x8A8F98);
        }
    }
    return Shade(base, n, shine, 24);
}

Rgb BombCollar(double s, double t) {
    const double a = 2 * kPi * s;
    const V3 n{std::cos(a), std::sin(a), 0.3 * std::cos(kPi * t)};
    const Rgb brass = Hex(0xB08A3A) * (0.9 + 0.2 * std::sin(t * 18));
    return Shade(brass, n, 0.6, 16);
}

Rgb BombLid(double polar) {
    const double r = polar / (kPi * 0.9);
    Rgb c = Shade(Hex(0xB89444), {0, 0, 1}, 0.3, 8);
    return MixRgb(Hex(0x1A1208), c, Smooth(0.2, 0.32, r));
}

Rgb BombFuse(double s, double t) {
    const double twist = std::sin(2 * kPi * (s * 2 + t * 9));
    Rgb rope = Hex(0xC8A878) * (0.8 + 0.2 * twist);
    const double a = 2 * kPi * s;
    rope = rope * Diffuse({std::cos(a), std::sin(a), 0.3});
    // The burning end.
    const double glow = Smooth(0.72, 0.9, t);
    rope = MixRgb(rope, Hex(0x3A2418), Smooth(0.6, 0.75, t) * (1 - glow));
    return MixRgb(rope, MixRgb(Hex(0xFF6A10), Hex(0xFFF0A0), Smooth(0.9, 1.0, t)), glow);
}

double HornShare(V3 d) {
    double best = 0;
    for (double side : {1.0, -1.0}) {
        const V3 horn = Normalize(V3{-0.25, 0.55 * side, 0.8});
        best =
            std::max(best, 1 - Smooth(0.05, 0.2, std::acos(std::clamp(Dot(d, horn), -1.0, 1.0))));
    }
    return best;
}

double FootShare(V3 d) {
    double best = 0;
    for (double fx : {0.55, -0.55}) {
        for (double fy : {0.6, -0.6}) {
            const V3 foot = Normalize(V3{fx, fy, -0.55});
            const double a = std::acos(std::clamp(Dot(d, foot), -1.0, 1.0));
            best = std::max(best, 1 - Smooth(0.18, 0.3, a));
        }
    }
    return best;
}

Rgb EnemyBody(double polar, double azimuth) {
    const V3 d{std::sin(polar) * std::cos(azimuth), std::sin(polar) * std::sin(azimuth),
               std::cos(polar)};
    const double e = 1e-3;
    const V3 p = enemy::BodyPoint(polar, azimuth);
    V3 n = Cross(enemy::BodyPoint(polar + e, azimuth) - enemy::BodyPoint(polar - e, azimuth),
                 enemy::BodyPoint(polar, azimuth + e) - enemy::BodyPoint(polar, azimuth - e));
    if (Length(n) < 1e-12 || polar < 0.01 || polar > kPi - 0.01) {
        n = d;
    }
    n = Normalize(n);
    if (Dot(n, d) < 0) {
        n = n * -1.0;
    }
    // Purple hide, paler on the belly, with darker blotches on the back.
    Rgb skin = MixRgb(Hex(0x7A2C9A), Hex(0xC890D8), Smooth(0.1, 0.7, d.x - d.z * 0.6));
    const double blotch = Fractal(azimuth / (2 * kPi) * 6 + 6, polar / kPi * 4, 6, 3, 90);
    skin = MixRgb(skin, Hex(0x4A1466), Smooth(0.58, 0.64, blotch) * Smooth(-0.2, 0.3, -d.x));
    skin = skin * (0.92 + 0.16 * Fractal(azimuth * 4, polar * 8, 25, 2, 91));
    skin = MixRgb(skin, Hex(0xF2E6C8) * (0.8 + 0.3 * d.z), HornShare(d));
    skin = MixRgb(skin, Hex(0x2A1030), FootShare(d));
    // A wide grin under the eyes, with teeth.
    const double mouthY = d.y / 0.55, mouthZ = (d.z + 0.08 - 0.18 * mouthY * mouthY) / 0.1;
    if (d.x > 0.55 && std::fabs(mouthY) < 1 && std::fabs(mouthZ) < 1) {
        const double edge = std::max(std::fabs(mouthY), std::fabs(mouthZ));
        Rgb inside = Hex(0x3A0A12);
        const double tooth = std::fabs(std::fmod(mouthY * 4 + 8.5, 1.0) - 0.5);
        if (mouthZ > 0.2 && tooth < 0.35 - (1 - mouthZ) * 0.4) {
            inside = Hex(0xFFFCF0);
        }
        skin = MixRgb(skin, inside, 1 - Smooth(0.85, 1.0, edge));
    }
    (void)p;
    return Shade(skin, n, 0.25, 12);
}

Rgb EnemyEye(double polar, double azimuth) {
    Rgb c = Hex(0xF8F4E8);
    if (polar < 0.62) {
        const double streak = 0.85 + 0.15 * std::sin(azimuth * 14);
        c = MixRgb(Hex(0xFFB000), Hex(0xE04000), polar / 0.62) * streak;
    }
    c = MixRgb(c, Hex(0x101010), 1 - Smooth(0.26, 0.3, polar));
    c = MixRgb(c, Hex(0x2A0A20), 1 - Smooth(0.58, 0.66, std::fabs(polar - 0.64) + 0.6));
    // Shade towards the lower back of the eyeball, highlight at the upper left.
    const double lower = std::sin(polar) * std::sin(azimuth);
    c = c * (0.8 + 0.2 * lower - 0.35 * Smooth(1.6, 2.8, polar));
    const double hx = polar * std::cos(azimuth) - 0.2, hy = polar * std::sin(azimuth) - 0.32;
    const double spot = 1 - Smooth(0.06, 0.12, std::hypot(hx, hy));
    return MixRgb(c, Rgb{1, 1, 1}, spot);
}

}  // namespace

Canvas PaintBombSkin() {
    Canvas c(256, 256);
    c.Fill(Hex(0x1C2028));
    PaintRect(c, bomb::kBodyRect, true, BombBody);
    PaintRect(c, bomb::kCollarRect, false, [](double s, double t) { return BombCollar(s / 2, t); });
    PaintRect(c, bomb::kFuseRect, false, [](double s, double t) { return BombFuse(s / 2, t); });
    const UvDisc& lid = bomb::kCapDisc;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            double polar, az;
            const double u = (x + 0.5) / 256, v = (y + 0.5) / 256;
            if (lid.ToAngles(u, v, &polar, &az) || (u >= 0.5 && u < 0.75 && v >= 0.75)) {
                c.At(x, y) = BombLid(std::min(polar, kPi));
            }
        }
    }
    return c;
}

Canvas PaintEnemySkin() {
    Canvas c(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const double u = (x + 0.5) / 256, v = (y + 0.5) / 256;
            double polar, az;
            if (u >= 0.75 && v < 0.25) {
                enemy::kEyeDisc.ToAngles(u, v, &polar, &az);
                c.At(x, y) = EnemyEye(std::min(polar, kPi), az);
            } else {
                enemy::kBodyDisc.ToAngles(u, v, &polar, &az);
                c.At(x, y) = EnemyBody(std::min(polar, kPi), az);
            }
        }
    }
    return c;
}

Canvas PaintShadow() {
    const int n = 128;
    Canvas c(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double r = std::hypot(x + 0.5 - n / 2.0, y + 0.5 - n / 2.0) / (n / 2.0);
            // Grey 1 makes the darkest shadow; pure black would be see-through.
            const double g = (1 + 254 * Smooth(0.05, 0.95, r)) / 255.0;
            c.At(x, y) = {g, g, g};
        }
    }
    return c;
}

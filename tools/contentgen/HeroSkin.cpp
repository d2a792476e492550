// The hero's skin: a red knitted cap, a face, a blue jacket with a belt, brown
// gloves and boots, and a red cape with a golden Q on the back.
#include <algorithm>
#include <cmath>

#include "tools/contentgen/Shading.h"
#include "tools/contentgen/Textures.h"
#include "tools/gen/HeroModel.h"
#include "tools/gen/HeroRig.h"
#include "tools/gen/Noise.h"

namespace {

using hero::Part;

const Rgb kSkin = Hex(0xF2C29A);
const Rgb kCapRed = Hex(0xC8281E);
const Rgb kJacket = Hex(0x2F5FBF);
const Rgb kTrousers = Hex(0x363C52);
const Rgb kLeather = Hex(0x6E4222);
const Rgb kGold = Hex(0xF2C230);
const Rgb kCape = Hex(0xA8141C);
const Rgb kHair = Hex(0x5A3418);

V3 Point(Part part, double s, double t) {
    return hero::RestPoint(part, 0, s, t);
}

// Outward normal, taking the middle of the opposite side as the inside.
V3 PartNormal(Part part, double s, double t) {
    const V3 inside = Lerp(Point(part, s, t), Point(part, s + 0.5, t), 0.5);
    return SurfaceNormal([part](double a, double b) { return Point(part, a, b); }, s, t, inside);
}

double Ellipse(double x, double y, double rx, double ry) {
    return std::hypot(x / rx, y / ry);
}

Rgb Knit(double a, double b, Rgb base) {
    const double rib = 0.85 + 0.15 * std::fabs(std::sin(a));
    const double row = 0.93 + 0.07 * std::sin(b);
    return base * (rib * row);
}

Rgb Head(double s, double t) {
    const V3 q = Point(Part::Head, s, t) - hero::rig::kHeadCentre;
    const double az = std::atan2(q.y, q.x);  // 0 at the front, +pi/2 at the left
    const double el = std::asin(std::clamp(q.z / Length(q), -1.0, 1.0));
    const double brim = 0.42 - 0.3 * (1 - std::cos(az)) / 2;
    Rgb c = kSkin;
    // Cheeks, then the features.
    c = MixRgb(c, Hex(0xE88A7A),
               0.5 * (1 - Smooth(0.0, 0.22, Ellipse(std::fabs(az) - 0.62, el + 0.18, 1, 1))));
    for (double side : {1.0, -1.0}) {
        const double ex = az - side * 0.37, ey = el - 0.1;
        const double eye = Ellipse(ex, ey, 0.14, 0.18);
        if (eye < 1.1) {
            Rgb e = Hex(0xFFFFFF);
            const double iris = Ellipse(ex - side * 0.02, ey + 0.01, 0.085, 0.1);
            e = MixRgb(e, Hex(0x3A5A8A), 1 - Smooth(0.9, 1.0, iris));
            e = MixRgb(e, Hex(0x0A0A10), 1 - Smooth(0.5, 0.6, iris));
            e = MixRgb(e, Hex(0xFFFFFF),
                       1 - Smooth(0.15, 0.25, Ellipse(ex + 0.03, ey - 0.05, 0.1, 0.1)));
            e = MixRgb(e, Hex(0x2A1A10), Smooth(0.88, 1.0, eye));
            c = MixRgb(c, e, 1 - Smooth(1.0, 1.1, eye));
        }
        const double brow = std::fabs(el - 0.31 - 0.25 * (0.14 - std::fabs(ex)) * 0.5);
        if (std::fabs(ex) < 0.14) {
            c = MixRgb(c, kHair * 0.7, 1 - Smooth(0.02, 0.035, brow));
        }
    }
    const double smile = std::fabs(el + 0.3 - 1.6 * az * az);
    if (std::fabs(az) < 0.3) {
        c = MixRgb(c, Hex(0x8A2020),
                   (1 - Smooth(0.02, 0.04, smile)) * (1 - Smooth(0.22, 0.3, std::fabs(az))));
    }
    // Hair at the sides and the back, under the cap.
    const double hairLine = Smooth(1.05, 1.25, std::fabs(az)) * Smooth(-0.55, -0.35, el);
    const double sideburn = Smooth(0.95, 1.05, std::fabs(az)) * Smooth(-0.1, 0.05, el);
    c = MixRgb(c, kHair * (0.9 + 0.2 * std::sin(az * 60 + el * 9)), std::max(hairLine, sideburn));
    // The cap with its rolled brim and a white stripe.
    if (el > brim) {
        const double above = el - brim;
        Rgb cap = Knit(az * 36, el * 50, kCapRed);
        if (above < 0.13) {
            cap = Knit(az * 60, above * 20, kCapRed * 0.85);
        } else if (above > 0.3 && above < 0.4) {
            cap = Knit(az * 36, el * 50, Hex(0xF4F0E6));
        }
        c = MixRgb(c, cap, Smooth(0.0, 0.015, above));
    }
    // Chin and neck shadow.
    c = c * (1 - 0.25 * Smooth(-0.6, -1.2, el));
    return c * Diffuse(PartNormal(Part::Head, s, t));
}

// The Q on the cape and the star on the chest.
double QMark(double x, double y, double r) {
    const double ring = std::fabs(std::hypot(x, y) - r) - r * 0.22;
    const double tx = x - r * 0.75, ty = y - r * 0.75;
    const double along = (tx + ty) / std::sqrt(2.0), across = (tx - ty) / std::sqrt(2.0);
    const double tail = std::max(std::fabs(across) - r * 0.17, std::fabs(along) - r * 0.45);
    return std::min(ring, tail);  // negative inside
}

double Star(double x, double y, double r) {
    const double a = std::atan2(y, x), d = std::hypot(x, y);
    const double edge = r * (0.55 + 0.45 * std::pow(std::fabs(std::cos(2.5 * a + kPi / 2)), 3));
    return d - edge;
}

Rgb Torso(double s, double t) {
    const V3 p = Point(Part::Torso, s, t);
    const double front = p.x > 0 ? 1 : 0;
    Rgb c;
    if (p.z > 0.262) {
        c = kSkin * 0.9;
    } else if (p.z > 0.228) {
        c = Hex(0xF0E8D8) * (0.9 + 0.1 * std::sin(p.y * 300));
    } else if (p.z > -0.012) {
        c = kJacket * (0.95 + 0.08 * Fractal(s * 24, t * 24, 24, 2, 100));
        if (front > 0 && std::fabs(p.y) < 0.005) {
            c = Hex(0xB8C0C8);  // zip
        }
        if (front > 0) {
            const double star = Star(p.y - 0.055, p.z - 0.14, 0.032);
            c = MixRgb(c, kGold, 1 - Smooth(-0.002, 0.002, star));
            c = MixRgb(c, kGold * 0.6, (1 - Smooth(0.0, 0.004, std::fabs(star))) * 0.6);
        }
    } else if (p.z > -0.048) {
        c = kLeather * (0.85 + 0.15 * std::sin(s * 200));
        if (front > 0 && std::fabs(p.y) < 0.022) {
            const double inner = std::max(std::fabs(p.y) - 0.013, std::fabs(p.z + 0.03) - 0.008);
            c = inner > 0 ? kGold : kLeather;
        }
    } else {
        c = kTrousers;
    }
    return c * Diffuse(PartNormal(Part::Torso, s, t));
}

Rgb Arm(double s, double t) {
    Rgb c = kJacket;
    const double outer = std::fabs(s - 0.5);
    if (outer < 0.035) {
        c = Hex(0xF4F0E6);
    }
    if (t > 0.8 && t < 0.9) {
        c = kGold * (0.9 + 0.1 * std::sin(s * 120));
    } else if (t >= 0.9) {
        c = kLeather;
    }
    return c * Diffuse(PartNormal(Part::Arm, s, t));
}

Rgb Hand(double s, double t) {
    const double seam = std::fabs(std::sin(2 * kPi * s * 3));
    Rgb c = kLeather * (0.95 + 0.1 * seam);
    if (t > 0.25 && t < 0.3) {
        c = kLeather * 0.7;  // the glove's wrist band
    }
    return c * Diffuse(PartNormal(Part::Hand, s, t));
}

Rgb Leg(double s, double t) {
    Rgb c = kTrousers * (0.95 + 0.08 * Fractal(s * 16, t * 16, 16, 2, 101));
    const double knee = Ellipse((s - 0.5) * 3.5, t - 0.52, 0.6, 0.1);
    c = MixRgb(c, kTrousers * 1.35, 1 - Smooth(0.9, 1.0, knee));
    if (std::fabs(knee - 0.8) < 0.04) {
        c = c * 0.8;  // stitches round the patch
    }
    return c * Diffuse(PartNormal(Part::Leg, s, t));
}

Rgb Boot(double s, double t) {
    const V3 p = Point(Part::Boot, s, t);
    Rgb c = kLeather * 0.9;
    if (p.z < -0.362) {
        c = Hex(0x2A1E16);
    } else if (t < 0.2) {
        c = kLeather * 1.15;  // toe cap
    }
    // Laces across the instep.
    const double lx = p.x - hero::rig::kBootCentre.x;
    if (lx > -0.03 && lx < 0.05 && std::fabs(p.y - hero::rig::kBootCentre.y) < 0.02 &&
        p.z > -0.33) {
        const double lace = std::fabs(std::fmod(lx * 90 + 10.0, 1.0) - 0.5);
        if (lace < 0.12) {
            c = Hex(0xE8DCC0);
        }
    }
    return c * Diffuse(PartNormal(Part::Boot, s, t));
}

Rgb Cape(double s, double t) {
    const double width = 0.236 + 0.214 * t;
    const double x = (s - 0.5) * width, y = t * 0.6;
    Rgb c = kCape * (0.82 + 0.18 * std::sin(2 * kPi * s * 5 + t * 1.5));
    const double edge = std::min({s, 1 - s, (1 - t) * 2}) * width;
    if (edge < 0.014) {
        c = kGold * (0.85 + 0.15 * std::sin(t * 160));
    }
    const double q = QMark(-x, y - 0.24, 0.07);
    c = MixRgb(c, Hex(0x3A0808), (1 - Smooth(0.004, 0.008, q)) * 0.8);
    c = MixRgb(c, kGold, 1 - Smooth(-0.002, 0.002, q));
    const V3 n = PartNormal(Part::Cape, s, t);
    const V3 outward = Dot(n, V3{-1, 0, 0.9}) < 0 ? n * -1.0 : n;
    return c * Diffuse(outward);
}

Rgb Small(Part part, double s, double t) {
    Rgb c = kSkin;
    if (part == Part::Pompom) {
        c = Hex(0xF4F0E6) *
            (0.85 + 0.2 * Hash01(static_cast<uint32_t>(s * 97), static_cast<uint32_t>(t * 89)));
    } else if (part == Part::Visor) {
        const V3 p = Point(Part::Visor, s, t);
        c = p.z < hero::rig::kVisorCentre.z - 0.002 ? kCapRed * 0.55 : kCapRed * 0.95;
    } else if (part == Part::Ear) {
        c = kSkin * (t > 0.3 && t < 0.7 ? 0.9 : 1.0);
    } else if (part == Part::Nose) {
        c = MixRgb(kSkin, Hex(0xE88A7A), 0.25);
    }
    return c * Diffuse(PartNormal(part, s, t));
}

}  // namespace

Canvas PaintHeroSkin() {
    Canvas c(512, 512);
    c.Fill(kCape);
    auto rect = [](Part p) { return hero::Rect(p); };
    PaintRect(c, rect(Part::Head), true, Head);
    PaintRect(c, rect(Part::Torso), true, Torso);
    PaintRect(c, rect(Part::Arm), true, Arm);
    PaintRect(c, rect(Part::Hand), true, Hand);
    PaintRect(c, rect(Part::Leg), true, Leg);
    PaintRect(c, rect(Part::Boot), true, Boot);
    PaintRect(c, rect(Part::Cape), false, Cape);
    for (Part p : {Part::Pompom, Part::Ear}) {
        PaintRect(c, rect(p), true, [p](double s, double t) { return Small(p, s, t); });
    }
    // These close round without a seam: their u runs to the far side and back.
    for (Part p : {Part::Nose, Part::Visor}) {
        PaintRect(c, rect(p), false, [p](double s, double t) { return Small(p, s / 2, t); });
    }
    return c;
}

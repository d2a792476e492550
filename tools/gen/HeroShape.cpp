// Rest-pose surfaces of the hero's parts and their texture rectangles.
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "tools/gen/HeroModel.h"
#include "tools/gen/HeroRig.h"

namespace hero {

namespace {

constexpr double kPad = 4.0 / 512;

const std::array<UvRect, static_cast<int>(Part::Count)> kRects = {{
    {0.0, 0.0, 0.5, 0.5, kPad},        // Head
    {0.5, 0.0, 1.0, 0.5, kPad},        // Torso
    {0.0, 0.5, 0.25, 0.75, kPad},      // Arm
    {0.25, 0.75, 0.375, 0.875, kPad},  // Hand
    {0.25, 0.5, 0.5, 0.75, kPad},      // Leg
    {0.0, 0.75, 0.25, 1.0, kPad},      // Boot
    {0.5, 0.5, 1.0, 0.9375, kPad},     // Cape
    {0.375, 0.75, 0.5, 0.875, kPad},   // Pompom
    {0.375, 0.875, 0.5, 1.0, kPad},    // Nose
    {0.25, 0.875, 0.375, 1.0, kPad},   // Ear
    {0.5, 0.9375, 0.75, 1.0, kPad},    // Visor
}};

// Smoothly interpolated key values over t.
double Profile(double t, std::initializer_list<std::pair<double, double>> keys) {
    const std::pair<double, double>* prev = keys.begin();
    if (t <= prev->first) {
        return prev->second;
    }
    for (const auto& k : keys) {
        if (t <= k.first) {
            const double f = (t - prev->first) / (k.first - prev->first);
            return Mix(prev->second, k.second, f * f * (3 - 2 * f));
        }
        prev = &k;
    }
    return prev->second;
}

V3 Mirror(V3 p, int side) {
    return side == 0 ? p : V3{p.x, -p.y, p.z};
}

// A capsule from a to b: t covers the start cap, the body and the end cap;
// radius(u) gives the body's radius for u = 0..1. The seam (s = 0) lies on
// the side given by seamDir.
template <typename RadiusFn>
V3 Capsule(V3 a, V3 b, V3 seamDir, double s, double t, double cap, RadiusFn radius) {
    const V3 d = Normalize(b - a);
    const V3 e1 = Normalize(seamDir - d * Dot(seamDir, d));
    const V3 e2 = Cross(d, e1);
    V3 c;
    double r;
    if (t < cap) {
        const double th = (1 - t / cap) * kPi / 2;
        c = a - d * (radius(0.0) * std::sin(th));
        r = radius(0.0) * std::cos(th);
    } else if (t > 1 - cap) {
        const double th = (t - (1 - cap)) / cap * kPi / 2;
        c = b + d * (radius(1.0) * std::sin(th));
        r = radius(1.0) * std::cos(th);
    } else {
        const double u = (t - cap) / (1 - 2 * cap);
        c = Lerp(a, b, u);
        r = radius(u);
    }
    const double al = 2 * kPi * s;
    return c + (e1 * std::cos(al) + e2 * std::sin(al)) * r;
}

V3 Ellipsoid(V3 c, V3 r, double polar, double azimuth) {
    return {c.x + r.x * std::sin(polar) * std::cos(azimuth),
            c.y + r.y * std::sin(polar) * std::sin(azimuth), c.z + r.z * std::cos(polar)};
}

V3 HeadPoint(double s, double t) {
    const double polar = t * kPi, az = 2 * kPi * s + kPi;  // the face at s = 0.5
    V3 p = Ellipsoid(rig::kHeadCentre, {0.13, 0.127, 0.14}, polar, az);
    // A rounder jaw at the front and a fuller back of the head.
    const double front = std::cos(az) * std::sin(polar);
    p.x += 0.012 * front * Smooth(0.55, 0.8, t);
    p.z -= 0.01 * Smooth(0.6, 1.0, t) * (0.5 + 0.5 * front);
    return p;
}

V3 TorsoPoint(double s, double t) {
    const double z = Profile(t, {{0.0, 0.335}, {0.1, 0.27}, {0.2, 0.215}, {1.0, -0.115}});
    const double ry = Profile(t, {{0.0, 0.0},
                                  {0.025, 0.042},
                                  {0.09, 0.046},
                                  {0.22, 0.142},
                                  {0.4, 0.132},
                                  {0.62, 0.114},
                                  {0.85, 0.12},
                                  {0.96, 0.085},
                                  {1.0, 0.0}});
    const double rx = Profile(t, {{0.0, 0.0},
                                  {0.025, 0.042},
                                  {0.09, 0.046},
                                  {0.22, 0.085},
                                  {0.4, 0.097},
                                  {0.62, 0.082},
                                  {0.85, 0.086},
                                  {0.96, 0.06},
                                  {1.0, 0.0}});
    const double az = 2 * kPi * s + kPi;  // the seam runs down the back
    const double chest = 0.012 * Smooth(0.2, 0.35, t) * (1 - Smooth(0.45, 0.6, t));
    return {rx * std::cos(az) + chest * std::max(0.0, std::cos(az)), ry * std::sin(az), z};
}

V3 ArmPoint(double s, double t) {
    return Capsule(rig::kShoulder, rig::kWrist, {0, -1, 0}, s, t, 0.12, [](double u) {
        return Profile(u, {{0.0, 0.05}, {0.5, 0.042}, {0.8, 0.041}, {0.84, 0.046}, {1.0, 0.044}});
    });
}

V3 LegPoint(double s, double t) {
    return Capsule(rig::kHip, rig::kAnkle, {0, -1, 0}, s, t, 0.12, [](double u) {
        return Profile(u, {{0.0, 0.058}, {0.5, 0.047}, {1.0, 0.041}});
    });
}

V3 BootPoint(double s, double t) {
    // Poles at the toe (t = 0) and the heel (t = 1).
    const double polar = t * kPi, al = 2 * kPi * s;
    const V3 d{std::cos(polar), std::sin(polar) * std::cos(al), std::sin(polar) * std::sin(al)};
    const double toe = std::max(0.0, d.x);
    V3 p{rig::kBootCentre.x + d.x * 0.094, rig::kBootCentre.y + d.y * 0.05 * (1 + 0.12 * toe),
         rig::kBootCentre.z + d.z * 0.046};
    // The shaft rises around the ankle.
    p.z += 0.035 * std::max(0.0, d.z) * Smooth(0.35, -0.2, d.x);
    const double sole = -0.378;
    if (p.z < sole + 0.006) {
        p.z = sole + 0.006 * std::exp((p.z - sole - 0.006) / 0.006);
    }
    return p;
}

V3 HandPoint(double s, double t) {
    const double polar = t * kPi, az = 2 * kPi * s;
    return Ellipsoid(rig::kHandCentre, {0.047, 0.04, 0.052}, polar, az);
}

V3 CapePoint(double s, double t) {
    const double across = 2 * s - 1;  // +1 at the left edge, -1 at the right
    const V3 top{-0.045 - 0.05 * (1 - across * across), 0.118 * -across, 0.252};
    const V3 bottom{-0.462 - 0.045 * (1 - across * across), 0.225 * -across, -0.215};
    const V3 mid = Lerp(top, bottom, 0.5) + V3{0.06, 0, 0.07};
    // Quadratic curve from the shoulders, bellying out behind the back.
    const V3 p = top * ((1 - t) * (1 - t)) + mid * (2 * t * (1 - t)) + bottom * (t * t);
    return p + V3{-0.02 * (1 - across * across) * std::sin(kPi * t), 0, 0};
}

// The cap's peak: a thin shell over the brow, most of it in front of the face.
V3 VisorPoint(double s, double t) {
    const double polar = t * kPi, az = 2 * kPi * s;
    V3 p = Ellipsoid(rig::kVisorCentre, {0.125, 0.118, 0.011}, polar, az);
    // Curved down at its sides and front edge.
    const double r2 = std::pow((p.x - rig::kVisorCentre.x) / 0.125, 2) + std::pow(p.y / 0.118, 2);
    p.z -= 0.03 * r2 * r2;
    return p;
}

}  // namespace

const UvRect& Rect(Part part) {
    return kRects[static_cast<int>(part)];
}

V3 RestPoint(Part part, int side, double s, double t) {
    switch (part) {
        case Part::Head:
            return HeadPoint(s, t);
        case Part::Torso:
            return TorsoPoint(s, t);
        case Part::Arm:
            return Mirror(ArmPoint(s, t), side);
        case Part::Hand:
            return Mirror(HandPoint(s, t), side);
        case Part::Leg:
            return Mirror(LegPoint(s, t), side);
        case Part::Boot:
            return Mirror(BootPoint(s, t), side);
        case Part::Cape:
            return CapePoint(s, t);
        case Part::Pompom:
            return Ellipsoid(rig::kPompomCentre, {0.05, 0.05, 0.047}, t * kPi, 2 * kPi * s);
        case Part::Nose:
            return Ellipsoid(rig::kNoseCentre, {0.024, 0.022, 0.02}, t * kPi, 2 * kPi * s);
        case Part::Ear:
            return Mirror(Ellipsoid(rig::kEarCentre, {0.02, 0.014, 0.032}, t * kPi, 2 * kPi * s),
                          side);
        case Part::Visor:
            return VisorPoint(s, t);
        case Part::Count:
            break;
    }
    return {};
}

}  // namespace hero

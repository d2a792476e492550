#include "tools/gen/BombModel.h"

#include <cmath>

namespace bomb {

namespace {

constexpr double kRadius = 0.15;
constexpr double kHeightScale = 1.04;
constexpr double kCentreZ = -0.012;
constexpr double kOpening = 0.29;  // polar angle of the hole under the collar
constexpr double kCollarRadius = 0.046;
constexpr double kCollarBottom = 0.11;
constexpr double kCollarTop = 0.158;
constexpr double kFuseRadius = 0.011;

V3 Ring(double s, double radius, double z) {
    const double a = 2 * kPi * s;
    return {radius * std::cos(a), radius * std::sin(a), z};
}

// The fuse's centre line: up out of the collar, bending towards +x.
V3 FuseAxis(double t) {
    const double a = t * 1.1;
    return {0.035 * (1 - std::cos(a)) / (1 - std::cos(1.1)), 0.0,
            kCollarTop - 0.006 + 0.045 * std::sin(a) / std::sin(1.1)};
}

}  // namespace

V3 BodyPoint(double s, double t) {
    const double polar = kOpening + t * (kPi - kOpening);
    const double a = 2 * kPi * s;
    return {kRadius * std::sin(polar) * std::cos(a), kRadius * std::sin(polar) * std::sin(a),
            kCentreZ + kRadius * kHeightScale * std::cos(polar)};
}

V3 CollarPoint(double s, double t) {
    // A short cylinder with a rounded lip.
    const double lip = 0.006 * std::sin(kPi * t);
    return Ring(s, kCollarRadius + lip, kCollarBottom + t * (kCollarTop - kCollarBottom));
}

V3 FusePoint(double s, double t) {
    const V3 c = FuseAxis(t);
    const V3 ahead = FuseAxis(std::fmin(1.0, t + 0.01));
    const V3 behind = FuseAxis(std::fmax(0.0, t - 0.01));
    const V3 dir = Normalize(ahead - behind);
    const V3 side{0, 1, 0};
    const V3 other = Normalize(Cross(dir, side));
    const double a = 2 * kPi * s;
    const double r = kFuseRadius * (t < 0.85 ? 1.0 : 0.4 + 0.6 * std::cos((t - 0.85) / 0.15 * 1.3));
    return c + side * (r * std::cos(a)) + other * (r * std::sin(a));
}

GenMesh Build() {
    GenMesh mesh(1);
    GridPlan body;
    body.cols = 12;
    body.rows = 7;
    body.wrap = true;
    body.end = GridEnd::Pole;
    body.position = [](double s, double t, V3* out) { out[0] = BodyPoint(s, t); };
    body.texcoord = [](double s, double t, double* u, double* v) { kBodyRect.ToUv(s, t, u, v); };
    AddGrid(mesh, body);

    GridPlan collar;
    collar.cols = 8;
    collar.rows = 2;
    collar.wrap = true;
    collar.seamless = true;
    collar.position = [](double s, double t, V3* out) { out[0] = CollarPoint(s, t); };
    collar.texcoord = [](double s, double t, double* u, double* v) {
        // The side wraps without a seam, so u runs to the middle and back.
        kCollarRect.ToUv(1 - std::fabs(2 * s - 1), t, u, v);
    };
    AddGrid(mesh, collar);

    // The collar's lid: a fan of its own texture island.
    GridPlan lid;
    lid.cols = 8;
    lid.rows = 1;
    lid.wrap = true;
    lid.seamless = true;
    lid.end = GridEnd::Pole;
    lid.position = [](double s, double t, V3* out) {
        out[0] = Ring(s, kCollarRadius * (1 - t), kCollarTop + 0.004 * t);
    };
    lid.texcoord = [](double s, double t, double* u, double* v) {
        kCapDisc.ToUv((1 - t) * kPi * 0.9, 2 * kPi * s, u, v);
    };
    AddGrid(mesh, lid);

    GridPlan fuse;
    fuse.cols = 4;
    fuse.rows = 6;
    fuse.wrap = true;
    fuse.seamless = true;
    fuse.end = GridEnd::Pole;
    fuse.position = [](double s, double t, V3* out) { out[0] = FusePoint(s, t); };
    fuse.texcoord = [](double s, double t, double* u, double* v) {
        kFuseRect.ToUv(1 - std::fabs(2 * s - 1), t, u, v);
    };
    AddGrid(mesh, fuse);
    return mesh;
}

}  // namespace bomb

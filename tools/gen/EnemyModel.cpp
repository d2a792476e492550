#include "tools/gen/EnemyModel.h"

#include <algorithm>
#include <cmath>

namespace enemy {

namespace {

constexpr double kCentreZ = 0.2;

// A soft bump of the given height around direction d (unit), width in radians.
double Bump(V3 dir, V3 d, double height, double width) {
    const double c = std::clamp(Dot(dir, Normalize(d)), -1.0, 1.0);
    const double a = std::acos(c) / width;
    return a < 1 ? height * (1 - a * a) * (1 - a * a) : 0;
}

V3 Direction(double polar, double azimuth) {
    return {std::sin(polar) * std::cos(azimuth), std::sin(polar) * std::sin(azimuth),
            std::cos(polar)};
}

}  // namespace

V3 EyeCentre(int side) {
    return {0.118, side == 0 ? 0.082 : -0.082, 0.345};
}

V3 EyeLookDirection() {
    return Normalize(V3{1.0, 0.0, 0.25});
}

V3 BodyPoint(double polar, double azimuth) {
    const V3 d = Direction(polar, azimuth);
    // A squat egg, wider at the bottom, with two horns and four feet.
    double r = 0.2 * (1 + 0.08 * (-d.z));
    r += Bump(d, {-0.25, 0.55, 0.8}, 0.075, 0.28);
    r += Bump(d, {-0.25, -0.55, 0.8}, 0.075, 0.28);
    r += Bump(d, {0.55, 0.6, -0.55}, 0.04, 0.35);
    r += Bump(d, {0.55, -0.6, -0.55}, 0.04, 0.35);
    r += Bump(d, {-0.55, 0.6, -0.55}, 0.04, 0.35);
    r += Bump(d, {-0.55, -0.6, -0.55}, 0.04, 0.35);
    r += Bump(d, {1.0, 0.0, -0.15}, 0.02, 0.5);  // a jutting jaw
    V3 p{d.x * r * 1.02, d.y * r * 1.14, kCentreZ + d.z * r};
    // The sole flattens onto the floor.
    if (p.z < 0.012) {
        p.z = 0.012 * std::exp((p.z - 0.012) / 0.012);
    }
    return p;
}

GenMesh Build() {
    GenMesh mesh(1);
    GridPlan body;
    body.cols = 20;
    body.rows = 12;
    body.wrap = true;
    body.seamless = true;
    body.start = GridEnd::Pole;
    body.end = GridEnd::Pole;
    body.position = [](double s, double t, V3* out) { out[0] = BodyPoint(t * kPi, 2 * kPi * s); };
    body.texcoord = [](double s, double t, double* u, double* v) {
        kBodyDisc.ToUv(t * kPi, 2 * kPi * s, u, v);
    };
    AddGrid(mesh, body);

    for (int side = 0; side < 2; ++side) {
        GridPlan eye;
        eye.cols = 8;
        eye.rows = 6;
        eye.wrap = true;
        eye.seamless = true;
        eye.start = GridEnd::Pole;
        eye.end = GridEnd::Pole;
        const V3 centre = EyeCentre(side);
        eye.position = [centre](double s, double t, V3* out) {
            // Pole at the pupil, looking forward and a little up.
            const V3 look = EyeLookDirection();
            const V3 side = Normalize(Cross(V3{0, 0, 1}, look));
            const V3 up = Cross(look, side);
            const double polar = t * kPi, a = 2 * kPi * s;
            const V3 d =
                look * std::cos(polar) + (side * std::cos(a) + up * std::sin(a)) * std::sin(polar);
            out[0] = centre + d * kEyeRadius;
        };
        eye.texcoord = [](double s, double t, double* u, double* v) {
            kEyeDisc.ToUv(t * kPi, 2 * kPi * s, u, v);
        };
        AddGrid(mesh, eye);
    }
    return mesh;
}

}  // namespace enemy

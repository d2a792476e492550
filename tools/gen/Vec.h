#pragma once

#include <cmath>

// Double-precision vector and rotation arithmetic for the build-time generators.
struct V3 {
    double x = 0, y = 0, z = 0;
};

inline V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline V3 operator*(double s, V3 a) {
    return a * s;
}
inline double Dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V3 Cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(V3 a) {
    return std::sqrt(Dot(a, a));
}
inline V3 Normalize(V3 a) {
    const double l = Length(a);
    return l > 1e-12 ? a * (1.0 / l) : V3{0, 0, 1};
}
inline V3 Lerp(V3 a, V3 b, double t) {
    return a + (b - a) * t;
}

inline double Clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}
inline double Smooth(double e0, double e1, double x) {
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline double Mix(double a, double b, double t) {
    return a + (b - a) * t;
}

constexpr double kPi = 3.14159265358979323846;

// Rigid transform: rotation matrix (rows) and translation.
struct Xform {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    V3 t;

    V3 Apply(V3 p) const {
        return V3{m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
                  m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
                  m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z} +
               t;
    }
    V3 Rotate(V3 p) const {
        return V3{m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
                  m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
                  m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z};
    }
};

inline Xform Compose(const Xform& a, const Xform& b) {  // a after b
    Xform r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
        }
    }
    r.t = a.Apply(b.t);
    return r;
}

// Rotation by angle (radians) about a unit axis through the point pivot.
inline Xform RotationAbout(V3 pivot, V3 axis, double angle) {
    axis = Normalize(axis);
    const double c = std::cos(angle), s = std::sin(angle), k = 1 - c;
    Xform r;
    r.m[0][0] = c + axis.x * axis.x * k;
    r.m[0][1] = axis.x * axis.y * k - axis.z * s;
    r.m[0][2] = axis.x * axis.z * k + axis.y * s;
    r.m[1][0] = axis.y * axis.x * k + axis.z * s;
    r.m[1][1] = c + axis.y * axis.y * k;
    r.m[1][2] = axis.y * axis.z * k - axis.x * s;
    r.m[2][0] = axis.z * axis.x * k - axis.y * s;
    r.m[2][1] = axis.z * axis.y * k + axis.x * s;
    r.m[2][2] = c + axis.z * axis.z * k;
    r.t = pivot - r.Rotate(pivot);
    return r;
}

inline Xform Translation(V3 t) {
    Xform r;
    r.t = t;
    return r;
}

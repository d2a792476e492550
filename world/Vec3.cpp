#include "world/Vec3.h"

#include <cmath>

void Cross(Vec3& out, const Vec3& a, const Vec3& b) {
    out.x = static_cast<float>(static_cast<double>(a.y) * b.z - static_cast<double>(a.z) * b.y);
    out.y = static_cast<float>(static_cast<double>(a.z) * b.x - static_cast<double>(a.x) * b.z);
    out.z = static_cast<float>(static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x);
}

Vec3& Scale(Vec3& v, double s) {
    v.x = static_cast<float>(v.x * s);
    v.y = static_cast<float>(v.y * s);
    v.z = static_cast<float>(v.z * s);
    return v;
}

void Scaled(Vec3& out, const Vec3& v, double s) {
    out.x = static_cast<float>(v.x * s);
    out.y = static_cast<float>(v.y * s);
    out.z = static_cast<float>(v.z * s);
}

void Add(Vec3& out, const Vec3& a, const Vec3& b) {
    out.x = a.x + b.x;
    out.y = a.y + b.y;
    out.z = a.z + b.z;
}

void Sub(Vec3& out, const Vec3& a, const Vec3& b) {
    out.x = a.x - b.x;
    out.y = a.y - b.y;
    out.z = a.z - b.z;
}

double Length(const Vec3& v) {
    const double x = v.x, y = v.y, z = v.z;
    return std::sqrt(x * x + y * y + z * z);
}

void Normalize(Vec3& v) {
    const double len = Length(v);
    if (len > 1e-8 && len >= 1e-7) {
        const double inv = 1.0 / len;
        v.x = static_cast<float>(v.x * inv);
        v.y = static_cast<float>(v.y * inv);
        v.z = static_cast<float>(v.z * inv);
    }
}

#pragma once

// Three packed floats; records elsewhere embed it directly.
struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
static_assert(sizeof(Vec3) == 3 * sizeof(float), "Vec3 must stay three packed floats");

// out = a x b; out must be distinct from a and b.
void Cross(Vec3& out, const Vec3& a, const Vec3& b);
// Scales v in place and returns it.
Vec3& Scale(Vec3& v, double s);
// out = v * s; out may be v.
void Scaled(Vec3& out, const Vec3& v, double s);
// out = a + b; out may be a or b.
void Add(Vec3& out, const Vec3& a, const Vec3& b);
// out = a - b; out may be a or b.
void Sub(Vec3& out, const Vec3& a, const Vec3& b);
double Length(const Vec3& v);
// Unit length in place; a vector shorter than 1e-7 (or not a number) stays exactly as it was.
void Normalize(Vec3& v);

#pragma once

// Sixteen floats in OpenGL's column-major order: row r, column c at 4c + r,
// so it can go to glMultMatrixf unchanged. For an actor's orientation the
// first column (0, 1, 2) is the facing direction.
struct Matrix4 {
    float m[16] = {};
    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
};

void SetIdentity(Matrix4& m);
// Replaces the upper-left 3x3 with Rx(alpha) Ry(beta) Rz(gamma), each row
// scaled by the diagonal element it had; the rest is left alone.
void SetRotation(Matrix4& m, double alpha, double beta, double gamma);
// dst = b * a as OpenGL matrices (a applied first); dst distinct from a and b.
void Multiply(Matrix4& dst, const Matrix4& a, const Matrix4& b);

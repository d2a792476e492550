#include "world/Matrix4.h"

#include <cmath>

void SetIdentity(Matrix4& m) {
    for (int i = 0; i < 16; ++i) {
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
}

void SetRotation(Matrix4& m, double alpha, double beta, double gamma) {
    const double sx = m[0], sy = m[5], sz = m[10];
    const double sa = std::sin(alpha), ca = std::cos(alpha);
    const double sb = std::sin(beta), cb = std::cos(beta);
    const double sc = std::sin(gamma), cc = std::cos(gamma);
    m[0] = static_cast<float>(sx * cb * cc);
    m[1] = static_cast<float>(sy * (sa * sb * cc + ca * sc));
    m[2] = static_cast<float>(sz * (sa * sc - ca * sb * cc));
    m[4] = static_cast<float>(-sx * cb * sc);
    m[5] = static_cast<float>(sy * (ca * cc - sa * sb * sc));
    m[6] = static_cast<float>(sz * (ca * sb * sc + sa * cc));
    m[8] = static_cast<float>(sx * sb);
    m[9] = static_cast<float>(-sy * sa * cb);
    m[10] = static_cast<float>(sz * ca * cb);
}

void Multiply(Matrix4& dst, const Matrix4& a, const Matrix4& b) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(a[4 * i + k]) * b[4 * k + j];
            }
            dst[4 * i + j] = static_cast<float>(sum);
        }
    }
}

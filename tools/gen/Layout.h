#pragma once

#include <cmath>

// A part's rectangle in its model's texture. s and t of the part's surface
// (both 0..1) map into the rectangle shrunk by pad on every side, so the
// painter can bleed colour past the edges and filtering never reaches a
// neighbouring part. Texture coordinates: u across, v down the texture rows.
struct UvRect {
    double u0, v0, u1, v1;
    double pad;

    void ToUv(double s, double t, double* u, double* v) const {
        *u = u0 + pad + s * (u1 - u0 - 2 * pad);
        *v = v0 + pad + t * (v1 - v0 - 2 * pad);
    }
    // Inverse of ToUv; results outside 0..1 lie in the bleed margin.
    void ToSurface(double u, double v, double* s, double* t) const {
        *s = (u - u0 - pad) / (u1 - u0 - 2 * pad);
        *t = (v - v0 - pad) / (v1 - v0 - 2 * pad);
    }
    bool Contains(double u, double v) const { return u >= u0 && u < u1 && v >= v0 && v < v1; }
};

// A disc in the texture that holds a whole closed surface by the azimuthal
// equidistant projection: the centre is the surface's "pole" direction, the
// rim its antipode.
struct UvDisc {
    double cu, cv, radius;

    // Direction angle from the pole (0..pi) and azimuth to texture coordinates.
    void ToUv(double polar, double azimuth, double* u, double* v) const {
        const double r = radius * polar / 3.14159265358979323846;
        *u = cu + r * std::cos(azimuth);
        *v = cv + r * std::sin(azimuth);
    }
    // Returns false outside the disc.
    bool ToAngles(double u, double v, double* polar, double* azimuth) const {
        const double du = u - cu, dv = v - cv;
        const double r = std::sqrt(du * du + dv * dv) / radius;
        *polar = r * 3.14159265358979323846;
        *azimuth = std::atan2(dv, du);
        return r <= 1.0;
    }
};

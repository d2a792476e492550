#pragma once

#include <cmath>
#include <functional>

#include "tools/contentgen/Canvas.h"
#include "tools/gen/Layout.h"
#include "tools/gen/Vec.h"

// The models are drawn without lighting, so their pictures carry it: a soft
// light from above (the same from every side the models turn to), a little
// from the front, and a highlight for shiny surfaces.
inline double Diffuse(V3 n) {
    const V3 light = Normalize(V3{0.35, 0.2, 1.0});
    const double d = Dot(Normalize(n), light);
    return 0.5 + 0.55 * std::max(0.0, d) + 0.1 * std::max(0.0, -d) * 0;
}

inline double Highlight(V3 n, double power) {
    const V3 half = Normalize(V3{0.1, 0.25, 1.0});
    return std::pow(std::max(0.0, Dot(Normalize(n), half)), power);
}

// Normal of a surface given as a function of (s, t), by central differences;
// flipped to point away from inside.
inline V3 SurfaceNormal(const std::function<V3(double, double)>& f, double s, double t, V3 inside) {
    const double e = 1e-3;
    const double t0 = std::max(0.0, t - e), t1 = std::min(1.0, t + e);
    const V3 ds = f(s + e, t) - f(s - e, t);
    const V3 dt = f(s, t1) - f(s, t0);
    V3 n = Cross(ds, dt);
    if (Length(n) < 1e-12) {
        n = f(s, t) - inside;
    }
    n = Normalize(n);
    return Dot(n, f(s, t) - inside) < 0 ? n * -1.0 : n;
}

// Calls paint(s, t) for every pixel of the rectangle, with s wrapping round
// (or clamped) and t clamped, so the bleed margin continues the part.
template <typename PaintFn>
void PaintRect(Canvas& c, const UvRect& r, bool wrapS, PaintFn paint) {
    const int x0 = static_cast<int>(std::lround(r.u0 * c.Width()));
    const int x1 = static_cast<int>(std::lround(r.u1 * c.Width()));
    const int y0 = static_cast<int>(std::lround(r.v0 * c.Height()));
    const int y1 = static_cast<int>(std::lround(r.v1 * c.Height()));
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            double s, t;
            r.ToSurface((x + 0.5) / c.Width(), (y + 0.5) / c.Height(), &s, &t);
            s = wrapS ? s - std::floor(s) : Clamp01(s);
            c.At(x, y) = paint(s, Clamp01(t));
        }
    }
}

#include "render/ViewSize.h"

#include <cmath>

void ScreenToWorld(const Vec3& eye, const Vec3& center, const ViewSize& view, int x, int y,
                   Vec3& out) {
    const int w = view.width;
    const int h = view.height;
    Vec3 d;
    Sub(d, eye, center);
    const double dist = Length(d);
    const double half = dist * std::tan(0.3926991f);
    const double a = -((x - w / 2) * half / (w * 0.5)) * view.aspect;
    const double b = (y - h / 2) * half / (h * 0.5);
    Normalize(d);
    Vec3 r;
    Cross(r, Vec3{0.0f, 0.0f, -1.0f}, d);
    Normalize(r);
    Vec3 u;
    Cross(u, d, r);
    Vec3 ub, ra;
    Scaled(ub, u, b);
    Scaled(ra, r, a);
    Add(out, center, ub);
    Add(out, out, ra);
}

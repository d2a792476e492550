#include "tools/contentgen/SoftRender.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kNear = 0.05;

Rgb SampleLevel(const Canvas& c, double u, double v) {
    return c.Sample(u * c.Width() - 0.5, v * c.Height() - 0.5);
}

}  // namespace

SoftRender::SoftRender(Canvas& target, V3 eye, V3 lookAt, double fieldOfViewDegrees)
    : target_(target),
      depth_(static_cast<size_t>(target.Width()) * target.Height(), 1e30),
      eye_(eye) {
    forward_ = Normalize(lookAt - eye);
    right_ = Normalize(Cross(forward_, V3{0, 0, 1}));
    up_ = Cross(right_, forward_);
    focal_ = target.Height() / 2.0 / std::tan(fieldOfViewDegrees * kPi / 360);
}

bool SoftRender::Project(V3 world, double* x, double* y) const {
    const V3 d = world - eye_;
    const double z = Dot(d, forward_);
    if (z < kNear) {
        return false;
    }
    *x = target_.Width() / 2.0 + focal_ * Dot(d, right_) / z;
    *y = target_.Height() / 2.0 - focal_ * Dot(d, up_) / z;
    return true;
}

const std::vector<Canvas>& SoftRender::Mips(const Canvas& texture) {
    auto it = mips_.find(&texture);
    if (it != mips_.end()) {
        return it->second;
    }
    std::vector<Canvas> levels{texture};
    while (levels.back().Width() > 1 && levels.back().Height() > 1) {
        levels.push_back(levels.back().Downsampled());
    }
    return mips_.emplace(&texture, std::move(levels)).first->second;
}

void SoftRender::Triangles(const std::vector<Vertex>& vertices,
                           const std::vector<uint32_t>& indices, const Canvas& texture,
                           const Shader& shade) {
    for (size_t k = 0; k + 2 < indices.size(); k += 3) {
        // Camera space, then clip against the near plane.
        std::vector<Clip> poly;
        for (int e = 0; e < 3; ++e) {
            const Vertex& vx = vertices[indices[k + e]];
            const V3 d = vx.p - eye_;
            poly.push_back({{Dot(d, right_), Dot(d, up_), Dot(d, forward_)}, vx.p, vx.u, vx.v});
        }
        std::vector<Clip> kept;
        for (size_t i = 0; i < poly.size(); ++i) {
            const Clip& a = poly[i];
            const Clip& b = poly[(i + 1) % poly.size()];
            const bool ina = a.view.z >= kNear, inb = b.view.z >= kNear;
            if (ina) {
                kept.push_back(a);
            }
            if (ina != inb) {
                const double t = (kNear - a.view.z) / (b.view.z - a.view.z);
                kept.push_back({Lerp(a.view, b.view, t), Lerp(a.world, b.world, t),
                                a.u + (b.u - a.u) * t, a.v + (b.v - a.v) * t});
            }
        }
        for (size_t i = 1; i + 1 < kept.size(); ++i) {
            const Clip tri[3] = {kept[0], kept[i], kept[i + 1]};
            Raster(tri, texture, shade);
        }
    }
}

void SoftRender::Raster(const Clip tri[3], const Canvas& texture, const Shader& shade) {
    double sx[3], sy[3], iz[3];
    for (int e = 0; e < 3; ++e) {
        iz[e] = 1.0 / tri[e].view.z;
        sx[e] = target_.Width() / 2.0 + focal_ * tri[e].view.x * iz[e];
        sy[e] = target_.Height() / 2.0 - focal_ * tri[e].view.y * iz[e];
    }
    const double area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
    if (std::fabs(area) < 1e-9) {
        return;
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({sx[0], sx[1], sx[2]}))));
    const int x1 =
        std::min(target_.Width() - 1, static_cast<int>(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({sy[0], sy[1], sy[2]}))));
    const int y1 = std::min(target_.Height() - 1,
                            static_cast<int>(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
    const std::vector<Canvas>& mips = Mips(texture);
    // Perspective-correct attributes at a screen point.
    auto at = [&](double px, double py, double* w, double* u, double* v, V3* world) {
        double b[3];
        b[0] = ((sx[1] - px) * (sy[2] - py) - (sx[2] - px) * (sy[1] - py)) / area;
        b[1] = ((sx[2] - px) * (sy[0] - py) - (sx[0] - px) * (sy[2] - py)) / area;
        b[2] = 1 - b[0] - b[1];
        double q = 0, qu = 0, qv = 0;
        V3 qw;
        for (int e = 0; e < 3; ++e) {
            q += b[e] * iz[e];
            qu += b[e] * iz[e] * tri[e].u;
            qv += b[e] * iz[e] * tri[e].v;
            qw = qw + tri[e].world * (b[e] * iz[e]);
        }
        *w = q;
        *u = qu / q;
        *v = qv / q;
        if (world != nullptr) {
            *world = qw * (1 / q);
        }
        return b[0] >= 0 && b[1] >= 0 && b[2] >= 0;
    };
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            double q, u, v;
            V3 world;
            if (!at(px, py, &q, &u, &v, &world)) {
                continue;
            }
            double& d = depth_[static_cast<size_t>(y) * target_.Width() + x];
            const double z = 1 / q;
            if (z >= d) {
                continue;
            }
            d = z;
            // Level of detail from the texture footprint of one pixel.
            double qx, ux, vx, qy, uy, vy;
            at(px + 1, py, &qx, &ux, &vx, nullptr);
            at(px, py + 1, &qy, &uy, &vy, nullptr);
            const double texels =
                std::max(std::hypot((ux - u) * texture.Width(), (vx - v) * texture.Height()),
                         std::hypot((uy - u) * texture.Width(), (vy - v) * texture.Height()));
            const double lod = std::clamp(std::log2(std::max(texels, 1e-9)), 0.0,
                                          static_cast<double>(mips.size() - 1));
            const int l0 = static_cast<int>(lod);
            const int l1 = std::min<int>(l0 + 1, static_cast<int>(mips.size()) - 1);
            const Rgb texel =
                MixRgb(SampleLevel(mips[l0], u, v), SampleLevel(mips[l1], u, v), lod - l0);
            target_.At(x, y) = shade(world, texel);
        }
    }
}

#include "world/FrameBlend.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

float Mix(float a, float b, float t) {
    return a + (b - a) * t;
}

Vec3 Mix(const Vec3& a, const Vec3& b, float t) {
    return Vec3{Mix(a.x, b.x, t), Mix(a.y, b.y, t), Mix(a.z, b.z, t)};
}

// The facing angle about z of an orientation (its first column).
double Facing(const Matrix4& m) {
    return std::atan2(static_cast<double>(m[1]), static_cast<double>(m[0]));
}

// after's orientation turned back by the part of the turn from before still
// to come, so that 1 leaves after's matrix as it is.
Matrix4 MixFacing(const Matrix4& before, const Matrix4& after, float t) {
    const double back = -ShortestTurn(Facing(before), Facing(after)) * (1.0 - t);
    if (back == 0.0) {
        return after;
    }
    Matrix4 r;
    SetIdentity(r);
    SetRotation(r, 0.0, 0.0, back);
    Matrix4 out;
    Multiply(out, after, r);
    return out;
}

}  // namespace

double ShortestTurn(double from, double to) {
    double d = std::fmod(to - from, 2.0 * kPi);
    if (d > kPi) {
        d -= 2.0 * kPi;
    } else if (d < -kPi) {
        d += 2.0 * kPi;
    }
    return d;
}

FrameState BlendFrames(const FrameState& before, const FrameState& after, float fraction) {
    if (!(fraction < 1.0f) || before.title || after.title || before.era != after.era) {
        return after;
    }
    const float t = fraction > 0.0f ? fraction : 0.0f;
    FrameState out = after;

    // The camera: its target along the line, its bearing the short way round
    // at the same distance and height.
    out.center = Mix(before.center, after.center, t);
    const double b0 = std::atan2(before.center.y - before.eye.y, before.center.x - before.eye.x);
    const double b1 = std::atan2(after.center.y - after.eye.y, after.center.x - after.eye.x);
    const double bearing = b1 - ShortestTurn(b0, b1) * (1.0 - t);
    const float reach =
        Mix(std::hypot(before.center.x - before.eye.x, before.center.y - before.eye.y),
            std::hypot(after.center.x - after.eye.x, after.center.y - after.eye.y), t);
    out.eye = Vec3{out.center.x - reach * static_cast<float>(std::cos(bearing)),
                   out.center.y - reach * static_cast<float>(std::sin(bearing)),
                   Mix(before.eye.z, after.eye.z, t)};

    if (before.actorsShown && after.actorsShown) {
        out.hero.at = Mix(before.hero.at, after.hero.at, t);
        out.hero.orientation = MixFacing(before.hero.orientation, after.hero.orientation, t);
        out.hero.frame = t < 0.5f ? before.hero.frame : after.hero.frame;
    }
    for (ShownEnemy& e : out.enemies) {
        for (const ShownEnemy& old : before.enemies) {
            if (old.id == e.id) {
                e.position = Mix(old.position, e.position, t);
                e.orientation = MixFacing(old.orientation, e.orientation, t);
                break;
            }
        }
    }
    for (ShownBomb& b : out.bombs) {
        for (const ShownBomb& old : before.bombs) {
            if (old.id != b.id) {
                continue;
            }
            // A bomb that has just gone off shows its first fragments at once.
            if (old.exploded == b.exploded) {
                b.at = Mix(old.at, b.at, t);
                b.spread = Mix(old.spread, b.spread, t);
                for (int k = 0; k < ShownBomb::kFragments; ++k) {
                    b.fragments[k] = Mix(old.fragments[k], b.fragments[k], t);
                }
            }
            break;
        }
    }
    return out;
}

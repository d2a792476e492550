#include "world/Bomb.h"

#include <cmath>

#include "world/Matrix4.h"
#include "world/Random.h"
#include "world/World.h"

namespace {

// 45 degrees, as the float the fragment ring is stepped by.
constexpr double kEighthTurn = 0.7853981852531433;
// The jitter of a burning bomb: up to 1/30 across, up to 0.1 upward.
constexpr double kJitterAcross = 0.033333335;
constexpr double kJitterUp = 0.1;

double Draw01(Random& random) {
    return (random.Next() & 0x7FFF) * (1.0 / 32768.0);
}

}  // namespace

void Bomb::Init(float x, float y, float z) {
    position = Vec3{x, y, z};
    fuse = kFuse;
    exploded = 0;
    blastFrame = 0;
    for (Vec3& f : fragments) {
        f = Vec3{};
    }
}

void Bomb::Burn(ShownBomb* shown, Random& random) {
    if (exploded) {
        Matrix4 step;
        SetIdentity(step);
        SetRotation(step, 0.0, 0.0, kEighthTurn);
        Matrix4 ring;
        SetIdentity(ring);
        const float s = std::sqrt(static_cast<float>(blastFrame) * 0.1f);
        if (shown != nullptr) {
            shown->exploded = true;
            shown->at = position;
            shown->spread = s;
        }
        for (int k = 0; k < kFragments; ++k) {
            Matrix4 t;
            Multiply(t, ring, step);
            ring = t;
            Vec3 d{ring[0], ring[1], ring[2]};
            Scale(d, s);
            fragments[k] = d;
            // Each fragment's colour takes a random blue, drawn in fragment order.
            const float blue = static_cast<float>(Draw01(random));
            if (shown != nullptr) {
                shown->fragments[k] = d;
                shown->blue[k] = blue;
            }
        }
        ++blastFrame;
    } else {
        const double r1 = Draw01(random);
        const double r2 = Draw01(random);
        const double r3 = Draw01(random);
        if (shown != nullptr) {
            shown->exploded = false;
            shown->at = Vec3{static_cast<float>(position.x + r3 * kJitterAcross),
                             static_cast<float>(position.y + r2 * kJitterAcross),
                             static_cast<float>(position.z + r1 * kJitterUp)};
        }
    }
    --fuse;
    if (fuse == kExplodeAt) {
        if (world != nullptr) {
            world->PlaySound(1);
        }
        exploded = 1;
        blastFrame = 0;
    }
}

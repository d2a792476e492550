#include "world/Bomb.h"

#include <GL/gl.h>

#include <cmath>

#include "game/Game.h"
#include "world/Matrix4.h"
#include "world/Mesh.h"
#include "world/Models.h"
#include "world/Random.h"

namespace {

// 45 degrees, as the float the fragment ring is stepped by.
constexpr double kEighthTurn = 0.7853981852531433;
// The jitter of a burning bomb: up to 1/30 across, up to 0.1 upward.
constexpr double kJitterAcross = 0.033333335;
constexpr double kJitterUp = 0.1;

double Draw01() {
    return (Rand() & 0x7FFF) * (1.0 / 32768.0);
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

void Bomb::Draw() {
    glPushMatrix();
    if (exploded) {
        glTranslatef(position.x, position.y, position.z);
        Matrix4 step;
        SetIdentity(step);
        SetRotation(step, 0.0, 0.0, kEighthTurn);
        Matrix4 ring;
        SetIdentity(ring);
        const float s = std::sqrt(static_cast<float>(blastFrame) * 0.1f);
        for (int k = 0; k < kFragments; ++k) {
            Matrix4 t;
            Multiply(t, ring, step);
            ring = t;
            Vec3 d{ring[0], ring[1], ring[2]};
            Scale(d, s);
            fragments[k] = d;
            glDisable(GL_TEXTURE_2D);
            glPushMatrix();
            glTranslatef(d.x, d.y, d.z);
            const float blue = static_cast<float>(Draw01());
            glColor3f(1.0f - s, s, blue);
            SolidSphere(static_cast<double>(0.1f));
            glPopMatrix();
        }
        ++blastFrame;
    } else {
        const double r1 = Draw01();
        const double r2 = Draw01();
        const double r3 = Draw01();
        glTranslatef(static_cast<float>(position.x + r3 * kJitterAcross),
                     static_cast<float>(position.y + r2 * kJitterAcross),
                     static_cast<float>(position.z + r1 * kJitterUp));
        glEnable(GL_TEXTURE_2D);
        DrawMesh(bombMesh);
    }
    glPopMatrix();
    --fuse;
    if (fuse == kExplodeAt) {
        if (game != nullptr) {
            game->PlaySound(1);
        }
        exploded = 1;
        blastFrame = 0;
    }
}

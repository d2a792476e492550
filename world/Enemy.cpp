#include "world/Enemy.h"

#include "world/Board.h"
#include "world/Box.h"
#include "world/Random.h"

namespace {

constexpr double kWalk = 0.1;
// A quarter turn, as the float the turns are built from.
constexpr float kQuarterTurn = 1.5707964f;

// A random draw in [0, 1).
double Draw01(Random& random) {
    return random.Next() * (1.0 / 32768.0);
}

// orientation turned by k quarter turns about z.
Matrix4 Turned(const Matrix4& orientation, int k) {
    Matrix4 r;
    SetIdentity(r);
    SetRotation(r, 0.0, 0.0, static_cast<double>(static_cast<float>(k) * kQuarterTurn));
    Matrix4 t;
    Multiply(t, orientation, r);
    return t;
}

}  // namespace

int Enemy::Init() {
    position = Vec3{0.0f, 0.0f, 0.5f};
    SetIdentity(orientation);
    return 1;
}

int Enemy::IsBlocked(const Vec3& d) const {
    if (board == nullptr) {
        return 0;
    }
    Vec3 c;
    Add(c, position, d);
    const Box moving{c.x - 0.25f, c.y - 0.25f, c.z - 0.25f, c.x + 0.25f, c.y + 0.25f, c.z + 0.25f};
    for (int r = 0; r < kBoardSize; ++r) {
        for (int col = 0; col < kBoardSize; ++col) {
            if (board->cells[r * kBoardSize + col] != SolidCell) {
                continue;
            }
            if (BoxesOverlap(board->CellBox(r, col), moving)) {
                return 1;
            }
        }
    }
    return 0;
}

void Enemy::Wander(Random& random) {
    // The draws come in a fixed order (turn at a wall, chance of a side
    // turn, its direction) so that a replay meets the same enemies.
    Vec3 v{orientation[0], orientation[1], orientation[2]};
    Scale(v, kWalk);
    if (IsBlocked(v)) {
        const int k = static_cast<int>(Draw01(random) * 4.0);
        orientation = Turned(orientation, k);
    } else {
        Add(position, position, v);
    }
    const int r = static_cast<int>(Draw01(random) * 100.0);
    if (r >= 5) {
        return;
    }
    const int k2 = static_cast<int>(Draw01(random) * 4.0 + 1.0);
    const Matrix4 t = Turned(orientation, k2);
    Vec3 w{t[0], t[1], t[2]};
    Scale(w, kWalk);
    if (!IsBlocked(w)) {
        orientation = t;
    }
}

#include "world/Hero.h"

#include <cmath>
#include <cstdlib>

#include "world/Board.h"
#include "world/Box.h"

namespace {

constexpr float kHalfSize = 0.25f;
constexpr float kSlide = 0.1f;

}  // namespace

int HeroFrameFor(int bob) {
    const int a = std::abs(bob);
    if (a <= 1) {
        return 0;
    }
    return a <= 3 ? 1 : 2;
}

Hero::Hero() {
    SetIdentity(orientation);
}

int Hero::Init() {
    position = Vec3{-5.5f, -5.5f, 0.5f};
    groundHeight = 0.5f;
    jumping = 0;
    SetIdentity(orientation);
    return 1;
}

void Hero::Step(float distance) {
    Vec3 wanted{orientation[0], orientation[1], orientation[2]};
    Scale(wanted, distance);
    const Vec3 allowed = ClipMove(wanted);
    Add(position, position, allowed);
}

bool Hero::FindWall(float minX, float minY, float minZ, float maxX, float maxY, float maxZ,
                    int& row, int& col) const {
    const Box box{minX, minY, minZ, maxX, maxY, maxZ};
    for (int r = 0; r < kBoardSize; ++r) {
        for (int c = 0; c < kBoardSize; ++c) {
            if (board->cells[r * kBoardSize + c] == SolidCell &&
                BoxesOverlap(board->CellBox(r, c), box)) {
                row = r;
                col = c;
                return true;
            }
        }
    }
    return false;
}

bool Hero::MoveIsClear(const Vec3& d, int& row, int& col) const {
    Vec3 p;
    Add(p, position, d);
    return !FindWall(p.x - kHalfSize, p.y - kHalfSize, p.z - kHalfSize, p.x + kHalfSize,
                     p.y + kHalfSize, p.z + kHalfSize, row, col);
}

Vec3 Hero::ClipMove(const Vec3& wanted) const {
    int r = 0, c = 0;
    if (MoveIsClear(wanted, r, c)) {
        return wanted;
    }
    // Slide along the face of the block that was hit: along y when the block
    // lies more in x from where the hero stands now, along x otherwise.
    const float dx = std::fabs((r - 7) + 0.5f - position.x);
    const float dy = std::fabs((c - 7) + 0.5f - position.y);
    Vec3 slide;
    if (dy < dx) {
        slide = Vec3{0.0f, wanted.y > 0.0f ? kSlide : -kSlide, wanted.z};
    } else {
        slide = Vec3{wanted.x > 0.0f ? kSlide : -kSlide, 0.0f, wanted.z};
    }
    if (MoveIsClear(slide, r, c)) {
        return slide;
    }
    return Vec3{};
}

void Hero::Turn(float angle) {
    Matrix4 rotation;
    SetIdentity(rotation);
    SetRotation(rotation, 0.0, 0.0, angle);
    Matrix4 turned;
    Multiply(turned, orientation, rotation);
    orientation = turned;
}

int Hero::StartJump() {
    const int was = jumping;
    if (jumping == 0) {
        jumping = 1;
        jumpCounter = 5;
    }
    return was;
}

// Only x and y decide: a jump that comes down over any block lands on it, and
// a hero on a wall top keeps its height until its footprint is clear of all.
void Hero::UpdateGroundHeight() {
    int r = 0, c = 0;
    if (FindWall(position.x - kHalfSize, position.y - kHalfSize, 0.0f, position.x + kHalfSize,
                 position.y + kHalfSize, 1.0f, r, c)) {
        if (jumping == 1) {
            groundHeight = 1.5f;
        }
        return;
    }
    groundHeight = 0.5f;
}

ShownHero Hero::Update() {
    // Wall tops reach past the outermost open cells; keep the hero over the board.
    if (position.x <= -6.5f) {
        position.x = -6.5f;
    }
    if (position.x >= 7.5f) {
        position.x = 7.5f;
    }
    if (position.y <= -6.5f) {
        position.y = -6.5f;
    }
    if (position.y >= 7.5f) {
        position.y = 7.5f;
    }
    UpdateGroundHeight();

    ShownHero shown;
    if (jumping == 1) {
        // The counter is looked at before it is lowered: six ticks up, six down.
        position.z = static_cast<float>(position.z + jumpDirection * 0.2);
        if (jumpCounter < 0) {
            jumpDirection = -1;
        }
        if (jumpCounter < -5) {
            jumping = 0;
            position.z = groundHeight;
            jumpDirection = 1;
        }
        --jumpCounter;
        shown.at = position;
    } else {
        position.z = groundHeight;
        // The bob shows before it steps; the pose after.
        shown.at =
            Vec3{position.x, position.y, static_cast<float>(groundHeight + bobOffset * 0.04)};
        if (std::abs(bobOffset) > 5) {
            bobStep = -bobStep;
        }
        bobOffset += bobStep;
    }
    shown.orientation = orientation;
    shown.frame = HeroFrameFor(bobOffset);
    return shown;
}

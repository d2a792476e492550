#include "world/Hero.h"

int Hero::Init() {
    position = Vec3{-5.5f, -5.5f, 0.5f};
    groundHeight = 0.5f;
    jumping = 0;
    SetIdentity(orientation);
    return 1;
}

void Hero::Step(float) {}

void Hero::Turn(float) {}

int Hero::StartJump() {
    return jumping;
}

void Hero::Draw() {}

#include "world/BombGroup.h"

bool BombGroup::LoadTexture() {
    return true;
}

void BombGroup::Add(float, float, float) {}

void BombGroup::Update() {}

void BombGroup::Clear() {
    bombs.Clear();
}

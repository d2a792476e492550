#include "world/EnemyGroup.h"

int EnemyGroup::Init() {
    return 1;
}

void EnemyGroup::Draw() {}

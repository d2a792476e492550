#include "world/EnemyGroup.h"

#include "world/Hero.h"
#include "world/World.h"

int EnemyGroup::Init() {
    Spawn();
    return 1;
}

void EnemyGroup::Spawn() {
    enemies.Clear();
    for (int i = 0; i < enemiesPerLevel; ++i) {
        Enemy* e = enemies.Add();
        e->Init();
        e->board = board;
        e->id = nextId++;
    }
}

void EnemyGroup::Update(Random& random, std::vector<ShownEnemy>* shown) {
    const int n = enemies.count;
    for (int i = 0; i < n; ++i) {
        if (Enemy* e = enemies.At(i)) {
            e->Wander(random);
            if (shown != nullptr) {
                shown->push_back(ShownEnemy{e->id, e->position, e->orientation});
            }
        }
    }
    CheckHeroContact();
}

void EnemyGroup::CheckHeroContact() {
    if (enemies.count == 0 || hero == nullptr || world == nullptr) {
        return;
    }
    const Vec3 p = hero->position;
    for (int i = 0; i < enemies.count; ++i) {
        const Enemy* e = enemies.At(i);
        if (e == nullptr) {
            continue;
        }
        const float dx = e->position.x - p.x;
        const float dy = e->position.y - p.y;
        const float dz = e->position.z - p.z;
        if (dx * dx + dy * dy + dz * dz < 0.25f) {
            // The lost life respawns the enemies: nothing here may be touched after it.
            world->LoseLife();
            return;
        }
    }
}

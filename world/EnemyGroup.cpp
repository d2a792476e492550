#include "world/EnemyGroup.h"

#include "game/Game.h"
#include "image/Texture.h"
#include "world/Hero.h"

int EnemyGroup::Init() {
    LoadTexture();
    Spawn();
    return 1;
}

int EnemyGroup::LoadTexture() {
    // Without the picture texture stays 0 and the enemies are drawn untextured.
    return LoadBmpTexture("Enemy1.bmp", texture, TextureSet::MipmappedClamped, "Board") ? 1 : 0;
}

void EnemyGroup::Spawn() {
    enemies.Clear();
    for (int i = 0; i < enemiesPerLevel; ++i) {
        Enemy* e = enemies.Add();
        e->Init();
        e->texture = texture;
        e->board = board;
    }
}

void EnemyGroup::Draw() {
    const int n = enemies.count;
    for (int i = 0; i < n; ++i) {
        if (Enemy* e = enemies.At(i)) {
            e->Draw();
        }
    }
    CheckHeroContact();
}

void EnemyGroup::CheckHeroContact() {
    if (enemies.count == 0 || hero == nullptr || game == nullptr) {
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
            game->LoseLife();
            return;
        }
    }
}

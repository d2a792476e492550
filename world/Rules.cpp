// The rules that decide a game: what a blast destroys, how a life is lost,
// when the game is over and what a cleared level brings.
#include "world/Bomb.h"
#include "world/RulesVersion.h"
#include "world/World.h"

namespace {

// A fragment closer than 0.35 hits (compared squared).
constexpr double kBlastReach = 0.1225;
constexpr int kEnemyScore = 15;
constexpr float kHeroStartX = -5.5f;
constexpr float kHeroStartY = -5.5f;
constexpr float kHeroStartZ = 0.5f;
constexpr uint32_t kLostLifePauseMs = 1000;
constexpr int kEnemiesAfterGameOver = 5;
constexpr int kLastLevel = 10;

bool Reaches(const Vec3& bomb, const Vec3& fragment, const Vec3& target) {
    Vec3 f;
    Add(f, bomb, fragment);
    const float dx = f.x - target.x;
    const float dy = f.y - target.y;
    const float dz = f.z - target.z;
    return dx * dx + dy * dy + dz * dz < kBlastReach;
}

}  // namespace

// Bump it with every change that moves a pinned replay's final state
// (tests/verify_test.cpp holds them).
const char* RulesVersion() {
    return "1";
}

void Bomb::CheckBlastHits() {
    if (world == nullptr) {
        return;
    }
    World& g = *world;
    OwnedList<Enemy>& list = g.enemies.enemies;
    for (int i = 0; i < list.count; ++i) {
        const Enemy* e = list.At(i);
        if (e == nullptr) {
            continue;
        }
        const Vec3 target = e->position;
        for (const Vec3& fragment : fragments) {
            if (Reaches(position, fragment, target)) {
                list.RemoveAt(i);
                --i;
                g.PlaySound(2);
                g.score += kEnemyScore;
                break;
            }
        }
    }
    if (list.count == 0) {
        // Deletes every bomb, this one too.
        g.ClearLevel();
        return;
    }
    const Vec3 hero = g.hero.position;
    for (const Vec3& fragment : fragments) {
        if (Reaches(position, fragment, hero)) {
            g.LoseLife();
            return;
        }
    }
}

void World::LoseLife() {
    PlaySound(2);
    enemies.Spawn();
    // Height and facing stay: a hero caught on a wall top drops in the next frame.
    hero.position.x = kHeroStartX;
    hero.position.y = kHeroStartY;
    --lives;
    ++era;
    Pause(kLostLifePauseMs);
    waitingForStart = 1;
    if (lives <= 0) {
        gameOver = 1;
        PlaySound(3);
        InsertScore();
        enemies.enemiesPerLevel = kEnemiesAfterGameOver;
        enemies.Spawn();
    }
    bombs.Clear();
}

void World::ClearLevel() {
    ++board.level;
    ++enemies.enemiesPerLevel;
    ++era;
    if (board.level > kLastLevel) {
        board.level = 0;
    }
    board.Rebuild();
    enemies.Spawn();
    hero.position = Vec3{kHeroStartX, kHeroStartY, kHeroStartZ};
    waitingForStart = 1;
    bombs.Clear();
    levelBannerOn = 1;
}

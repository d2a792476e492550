#include "world/BombGroup.h"

void BombGroup::Add(float x, float y, float z) {
    Bomb* b = bombs.Add();
    b->Init(x, y, z);
    b->world = world;
    b->id = nextId++;
}

void BombGroup::Update(Random& random, std::vector<ShownBomb>* shown) {
    const int n = bombs.count;
    for (int i = 0; i < n; ++i) {
        if (Bomb* b = bombs.At(i)) {
            ShownBomb* slot = nullptr;
            if (shown != nullptr) {
                shown->emplace_back();
                slot = &shown->back();
                slot->id = b->id;
            }
            b->Burn(slot, random);
        }
    }
    // Blast tests only after every bomb has burnt, so they test the
    // fragments this tick shows.
    for (int i = 0; i < bombs.count; ++i) {
        Bomb* b = bombs.At(i);
        if (b == nullptr) {
            continue;
        }
        if (b->exploded) {
            b->CheckBlastHits();
            if (bombs.count == 0) {
                // A lost life or a cleared level deleted every bomb, b too.
                return;
            }
        }
        if (b->fuse <= 0) {
            bombs.RemoveAt(i);
            --i;
        }
    }
}

void BombGroup::Clear() {
    bombs.Clear();
}

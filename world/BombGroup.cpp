#include "world/BombGroup.h"

#include <GL/gl.h>

#include "image/Texture.h"

bool BombGroup::LoadTexture() {
    return LoadBmpTexture("bomb.bmp", bombTexture, TextureSet::MipmappedClamped, "Bomb");
}

void BombGroup::Add(float x, float y, float z) {
    Bomb* b = bombs.Add();
    b->Init(x, y, z);
    b->game = game;
}

void BombGroup::Update() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, bombTexture);
    const int n = bombs.count;
    for (int i = 0; i < n; ++i) {
        if (Bomb* b = bombs.At(i)) {
            b->Draw();
        }
    }
    // Blast tests only after every bomb is drawn, so they test the fragments
    // just shown.
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

#pragma once

#include "world/Vec3.h"

// The size of the picture a frame is drawn into.
struct ViewSize {
    int width = 0;
    int height = 0;
    float aspect = 1.0f;
};

// The world point seen at window pixel (x, y) on the plane through center,
// for a camera at eye looking at center (the title picture and the texts).
// Both renderers and Game::ScreenToWorld use it.
void ScreenToWorld(const Vec3& eye, const Vec3& center, const ViewSize& view, int x, int y,
                   Vec3& out);

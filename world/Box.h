#pragma once

// Axis-aligned box: six floats, minimum corner then maximum corner.
struct Box {
    float minX = 0.0f, minY = 0.0f, minZ = 0.0f;
    float maxX = 0.0f, maxY = 0.0f, maxZ = 0.0f;
};

// Strict overlap on all three axes: boxes that only touch do not overlap.
bool BoxesOverlap(const Box& p, const Box& q);

#pragma once

#include "tools/gen/GenMesh.h"
#include "tools/gen/Layout.h"

// The hero: a small adventurer in a knitted cap, jacket and cape, facing +x,
// with its origin at the standing height (the soles are at z = -0.38).
// Three key poses of a walk: A and C are the two strides, B the passing pose.
namespace hero {

enum class Part { Head, Torso, Arm, Hand, Leg, Boot, Cape, Pompom, Nose, Ear, Visor, Count };

// Texture layout of "Hero.bmp"; the left and right limbs share their rectangles.
const UvRect& Rect(Part part);

// Rest-pose surface point of a part (side 0 is the left, +y, side 1 the right).
// s runs around the part, t along it; both 0..1.
V3 RestPoint(Part part, int side, double s, double t);

GenMesh Build();

}  // namespace hero

#pragma once

#include "tools/gen/GenMesh.h"
#include "tools/gen/Layout.h"

// The enemy: a round, horned creature on stubby feet with two big eyes,
// standing on z = 0 and facing +x. Body and eyes are closed surfaces
// textured through azimuthal discs, so they need no seams.
namespace enemy {

inline constexpr UvDisc kBodyDisc{0.375, 0.375, 0.36};
inline constexpr UvDisc kEyeDisc{0.875, 0.125, 0.115};

// Eye centres and radius (the left eye is at +y).
inline constexpr double kEyeRadius = 0.068;
V3 EyeCentre(int side);  // side 0: +y, 1: -y
V3 EyeLookDirection();

// Body surface point for a direction given by polar angle from +z and azimuth.
V3 BodyPoint(double polar, double azimuth);

GenMesh Build();

}  // namespace enemy

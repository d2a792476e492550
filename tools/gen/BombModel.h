#pragma once

#include "tools/gen/GenMesh.h"
#include "tools/gen/Layout.h"

// The bomb: an iron ball with a collar on top and a short fuse.
namespace bomb {

// Texture layout of "bomb.bmp".
inline constexpr UvRect kBodyRect{0.0, 0.0, 1.0, 0.75, 0.01};
inline constexpr UvRect kCollarRect{0.0, 0.75, 0.5, 1.0, 0.01};
inline constexpr UvDisc kCapDisc{0.625, 0.875, 0.11};
inline constexpr UvRect kFuseRect{0.75, 0.75, 1.0, 1.0, 0.01};

// Rest surfaces (s around, t along; 0..1).
V3 BodyPoint(double s, double t);
V3 CollarPoint(double s, double t);
V3 FusePoint(double s, double t);

GenMesh Build();

}  // namespace bomb

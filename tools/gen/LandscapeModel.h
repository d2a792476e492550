#pragma once

#include "tools/gen/GenMesh.h"

// The landscape: a 12 x 11 height grid, a valley under the board ringed by
// mountains. Vertex (i, j) is i + 12 j; rows of 12 run along x.
namespace landscape {

inline constexpr int kColumns = 12;  // along x
inline constexpr int kRows = 11;     // along y

GenMesh Build();

}  // namespace landscape

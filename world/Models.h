#pragma once

#include "world/Mesh.h"

// The game's models, generated at build time by tools/modelgen and compiled in.

inline constexpr int kBombVertexCount = 154;
inline constexpr int kBombIndexCount = 744;
inline constexpr int kEnemyVertexCount = 319;
inline constexpr int kEnemyIndexCount = 1878;
inline constexpr int kHeroVertexCount = 4562;
inline constexpr int kHeroIndexCount = 25407;
inline constexpr int kLandscapeVertexCount = 132;
inline constexpr int kLandscapeIndexCount = 660;

extern const Mesh bombMesh;       // "bomb.bmp"; centred on the origin
extern const Mesh enemyMesh;      // "Enemy1.bmp"; stands on z = 0, faces +x
extern const Mesh heroFrameA;     // "Hero.bmp"; three key poses of one figure facing +x,
extern const Mesh heroFrameB;     // sharing u, v, w per vertex, each with its own
extern const Mesh heroFrameC;     // triangle list; the origin is at the standing height
extern const Mesh landscapeMesh;  // "LandScape.bmp"; the valley ringed by mountains

// The landscape's vertices stay writable: the board scales their u and v by
// 20 once at start so that its texture repeats.
extern MeshVertex landscapeVertices[kLandscapeVertexCount];

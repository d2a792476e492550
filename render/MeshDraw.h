#pragma once

#include "world/Mesh.h"

// Draws the model at the current modelview matrix with the bound texture, in
// one indexed call. The board, hero, enemies and bombs call it every frame;
// the vertex array must be enabled (the render state does it once), and the
// texture-coordinate array is switched on only for the call.
void DrawMesh(const Mesh& mesh);

// Draws a solid sphere of the given radius at the modelview origin in the
// current colour; the first call for a radius compiles it into a display
// list that later calls replay. The bomb fragments use it while a frame is drawn.
void SolidSphere(double radius);

#pragma once

#include <cstdint>

// One vertex of a compiled-in model: position, texture coordinate, and a
// third texture coordinate that the data carries but nothing draws.
struct MeshVertex {
    float x, y, z;
    float u, v;
    float w;
};
static_assert(sizeof(MeshVertex) == 24, "the vertex arrays are drawn with a 24-byte stride");

// One compiled-in model: a vertex array and a triangle list over it.
struct Mesh {
    const MeshVertex* vertices;
    int vertexCount;
    const uint32_t* indices;
    int indexCount;  // a multiple of 3
};

// Draws the model at the current modelview matrix with the bound texture, in
// one indexed call. The board, hero, enemies and bombs call it every frame;
// the vertex array must be enabled (the render state does it once), and the
// texture-coordinate array is switched on only for the call.
void DrawMesh(const Mesh& mesh);

// Draws a solid sphere of the given radius at the modelview origin in the
// current colour; the first call for a radius compiles it into a display
// list that later calls replay. The bomb fragments use it while a frame is drawn.
void SolidSphere(double radius);

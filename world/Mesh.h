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

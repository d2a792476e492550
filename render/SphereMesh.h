#pragma once

#include <cstdint>
#include <vector>

// A solid sphere as the desktop's GLU tessellates one (smooth normals, no
// texture coordinates, seen from outside): `slices` around the z axis,
// `stacks` from +z to -z, a triangle fan at each pole and a band of quads,
// each split into two triangles, between. Made once per radius by
// Gles2Renderer for the bomb fragments, so they need neither GLU nor
// display lists.
struct SphereMesh {
    struct Vertex {
        float x, y, z;
        float nx, ny, nz;
    };
    std::vector<Vertex> vertices;
    std::vector<uint16_t> indices;  // triangles
    // The normal GLU gives last, which stays OpenGL's current normal after a sphere.
    float lastNormal[3] = {0.0f, 0.0f, 1.0f};

    // At least 2 slices and 2 stacks; fewer give an empty mesh.
    static SphereMesh Make(float radius, int slices, int stacks);
};

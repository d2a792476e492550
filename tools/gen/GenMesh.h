#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/gen/Vec.h"

// A model under construction: per-frame positions (the hero has three key
// poses, the other models one), texture coordinates shared by all frames, and
// one triangle list per frame.
class GenMesh {
  public:
    explicit GenMesh(int frameCount = 1);

    int Frames() const { return static_cast<int>(pos.size()); }
    int VertexCount() const { return static_cast<int>(u.size()); }
    int TriangleCount() const { return static_cast<int>(tris[0].size() / 3); }

    // Adds a vertex with one position per frame.
    uint32_t AddVertex(const V3* framePositions, double tu, double tv);
    uint32_t AddVertex(V3 p, double tu, double tv);  // same position in every frame
    // Adds a triangle to every frame's list; frozen triangles are never split by Fit.
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c, bool frozen = false);

    // Brings the mesh to exactly the given counts by splitting its longest
    // edges (and, where the seam budget asks for it, boundary edges).
    // Returns false with a reason when the counts cannot be reached.
    bool Fit(int vertexCount, int triangleCount, std::string* why);

    // w = height within the model's rest-pose extent, 0 at the bottom.
    void SetWFromHeight();

    // Checks every index, every vertex in use and every triangle's area (in
    // float, as the game stores it) in every frame.
    bool Validate(std::string* why) const;

    std::vector<std::vector<V3>> pos;         // [frame][vertex]
    std::vector<double> u, v, w;              // per vertex, shared by all frames
    std::vector<std::vector<uint32_t>> tris;  // [frame] three indices per triangle
    std::vector<uint8_t> frozen;              // per triangle
};

// How a grid closes at its first or last row.
enum class GridEnd { Open, Pole, PoleCopies };

// A parametric patch of cols x rows quads. s runs around (0..1), t along (0..1).
struct GridPlan {
    int cols = 8;
    int rows = 8;
    bool wrap = false;      // s wraps around
    bool seamless = false;  // wrapping without a duplicated seam column (u, v continuous)
    GridEnd start = GridEnd::Open;
    GridEnd end = GridEnd::Open;
    bool frozen = false;
    // Position of (s, t) in each frame (frames entries).
    std::function<void(double s, double t, V3* out)> position;
    // Texture coordinate of (s, t).
    std::function<void(double s, double t, double* tu, double* tv)> texcoord;
};

// Adds the grid; returns the index of its first vertex.
uint32_t AddGrid(GenMesh& mesh, const GridPlan& plan);

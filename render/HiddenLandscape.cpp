#include "render/HiddenLandscape.h"

#include "world/Board.h"

namespace {

// The board's edges at z = 0, drawn in by a margin far wider than any
// rounding of the transformed vertices, so a kept edge pixel is never in doubt.
constexpr double kBoardLow = -7.0 + 0.01;
constexpr double kBoardHigh = 8.0 - 0.01;
// Only triangles well below the floor: their fragments lose the depth test
// by far, never by a tie.
constexpr double kDeepEnough = -1.0;

bool BoardHasNoHole(const uint8_t* cells) {
    for (int i = 0; i < kBoardSize * kBoardSize; ++i) {
        if (cells[i] != SolidCell && cells[i] != 1 && cells[i] != 2) {
            return false;
        }
    }
    return true;
}

// Where the ray from the eye through p crosses z = 0 lies on the board
// (p below z = 0, the eye above it).
bool SeenThroughBoard(const Vec3& eye, const MeshVertex& p) {
    if (p.z > kDeepEnough) {
        return false;
    }
    const double k = static_cast<double>(eye.z) / (static_cast<double>(eye.z) - p.z);
    const double x = eye.x + k * (p.x - eye.x);
    const double y = eye.y + k * (p.y - eye.y);
    return x > kBoardLow && x < kBoardHigh && y > kBoardLow && y < kBoardHigh;
}

}  // namespace

Mesh HiddenLandscape::Visible(const Mesh& landscape, const Vec3& eye, const uint8_t* cells) {
    if (!(eye.z > 1.0f) || !BoardHasNoHole(cells)) {
        return landscape;
    }
    indices_.clear();
    for (int t = 0; t + 2 < landscape.indexCount; t += 3) {
        const uint32_t* tri = landscape.indices + t;
        // The view of a triangle below the eye onto z = 0 is the triangle of
        // its corners' views: on the board when all three are.
        if (SeenThroughBoard(eye, landscape.vertices[tri[0]]) &&
            SeenThroughBoard(eye, landscape.vertices[tri[1]]) &&
            SeenThroughBoard(eye, landscape.vertices[tri[2]])) {
            continue;
        }
        indices_.insert(indices_.end(), tri, tri + 3);
    }
    return Mesh{landscape.vertices, landscape.vertexCount, indices_.data(),
                static_cast<int>(indices_.size())};
}

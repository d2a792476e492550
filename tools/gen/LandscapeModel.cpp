#include "tools/gen/LandscapeModel.h"

#include <algorithm>
#include <cmath>

#include "tools/gen/Noise.h"

namespace landscape {

GenMesh Build() {
    GenMesh mesh(1);
    const double x0 = -57.8, x1 = 61.9, y0 = -57.6, y1 = 57.9;
    for (int j = 0; j < kRows; ++j) {
        for (int i = 0; i < kColumns; ++i) {
            const double fu = static_cast<double>(i) / (kColumns - 1);
            const double fv = static_cast<double>(j) / (kRows - 1);
            // A little irregularity so the ridges do not look ruled.
            const bool border = i == 0 || j == 0 || i == kColumns - 1 || j == kRows - 1;
            const double jx = border ? 0 : (Hash01(i, j, 11) - 0.5) * 2.4;
            const double jy = border ? 0 : (Hash01(i, j, 12) - 0.5) * 2.4;
            const double x = x0 + fu * (x1 - x0) + jx;
            const double y = y0 + fv * (y1 - y0) + jy;
            double z;
            if (border) {
                z = 20.2 + 4.7 * Hash01(i, j, 13);
            } else {
                // Deep under the board, rising towards the ring of mountains.
                const double r = std::max(std::fabs(x - 0.5) / 58.0, std::fabs(y - 0.5) / 58.0);
                const double rise = Smooth(0.15, 0.85, r);
                z = -20.5 + 16.5 * rise + 1.5 * (Hash01(i, j, 14) - 0.5);
                z = std::clamp(z, -20.9, -3.1);
            }
            mesh.AddVertex(V3{x, y, z}, fu, fv);
        }
    }
    for (int j = 0; j + 1 < kRows; ++j) {
        for (int i = 0; i + 1 < kColumns; ++i) {
            const uint32_t a = i + kColumns * j, b = a + 1, c = a + kColumns, d = c + 1;
            mesh.AddTriangle(c, a, d);
            mesh.AddTriangle(b, d, a);
        }
    }
    return mesh;
}

}  // namespace landscape

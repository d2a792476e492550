#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "world/Models.h"

namespace {

// A board started earlier in this process has scaled the landscape's u and v by 20.
float LandscapeUvScale() {
    return landscapeVertices[kLandscapeVertexCount - 1].u > 1.5f ? 20.0f : 1.0f;
}

struct Extent {
    float lo[3], hi[3];
};

Extent Measure(const Mesh& m) {
    Extent e{{1e9f, 1e9f, 1e9f}, {-1e9f, -1e9f, -1e9f}};
    for (int i = 0; i < m.vertexCount; ++i) {
        const float p[3] = {m.vertices[i].x, m.vertices[i].y, m.vertices[i].z};
        for (int a = 0; a < 3; ++a) {
            e.lo[a] = std::min(e.lo[a], p[a]);
            e.hi[a] = std::max(e.hi[a], p[a]);
        }
    }
    return e;
}

// Each bound within a tenth of the wanted span on its axis.
void ExpectExtent(const Mesh& m, const Extent& want, const char* name) {
    const Extent got = Measure(m);
    for (int a = 0; a < 3; ++a) {
        const float slack = 0.1f * (want.hi[a] - want.lo[a]);
        EXPECT_NEAR(got.lo[a], want.lo[a], slack) << name << " axis " << a;
        EXPECT_NEAR(got.hi[a], want.hi[a], slack) << name << " axis " << a;
    }
}

// Every index in range, every vertex used, no triangle without area.
void ExpectWellFormed(const Mesh& m, const char* name) {
    ASSERT_EQ(m.indexCount % 3, 0) << name;
    std::vector<bool> used(m.vertexCount, false);
    int flat = 0;
    for (int k = 0; k < m.indexCount; k += 3) {
        const MeshVertex* c[3];
        for (int e = 0; e < 3; ++e) {
            ASSERT_LT(m.indices[k + e], static_cast<uint32_t>(m.vertexCount)) << name;
            used[m.indices[k + e]] = true;
            c[e] = &m.vertices[m.indices[k + e]];
        }
        const double ax = c[1]->x - c[0]->x, ay = c[1]->y - c[0]->y, az = c[1]->z - c[0]->z;
        const double bx = c[2]->x - c[0]->x, by = c[2]->y - c[0]->y, bz = c[2]->z - c[0]->z;
        const double cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
        if (!(std::sqrt(cx * cx + cy * cy + cz * cz) > 1e-9)) {
            ++flat;
        }
    }
    EXPECT_EQ(flat, 0) << name;
    EXPECT_EQ(std::count(used.begin(), used.end(), false), 0) << name;
    for (int i = 0; i < m.vertexCount; ++i) {
        const MeshVertex& v = m.vertices[i];
        ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << name;
        const float top = &m == &landscapeMesh ? LandscapeUvScale() : 1.0f;
        ASSERT_TRUE(v.u >= 0 && v.u <= top && v.v >= 0 && v.v <= top) << name << " vertex " << i;
    }
}

TEST(Models, CountsMatchTheTable) {
    EXPECT_EQ(bombMesh.vertexCount, 154);
    EXPECT_EQ(bombMesh.indexCount, 744);
    EXPECT_EQ(enemyMesh.vertexCount, 319);
    EXPECT_EQ(enemyMesh.indexCount, 1878);
    for (const Mesh* m : {&heroFrameA, &heroFrameB, &heroFrameC}) {
        EXPECT_EQ(m->vertexCount, 4562);
        EXPECT_EQ(m->indexCount, 25407);
    }
    EXPECT_EQ(landscapeMesh.vertexCount, 132);
    EXPECT_EQ(landscapeMesh.indexCount, 660);
    EXPECT_EQ(landscapeMesh.vertices, landscapeVertices);
}

TEST(Models, EveryModelIsWellFormed) {
    ExpectWellFormed(bombMesh, "bomb");
    ExpectWellFormed(enemyMesh, "enemy");
    ExpectWellFormed(heroFrameA, "hero A");
    ExpectWellFormed(heroFrameB, "hero B");
    ExpectWellFormed(heroFrameC, "hero C");
    ExpectWellFormed(landscapeMesh, "landscape");
}

TEST(Models, ExtentsMatchTheirPlaces) {
    ExpectExtent(bombMesh, {{-0.15f, -0.15f, -0.18f}, {0.15f, 0.15f, 0.19f}}, "bomb");
    ExpectExtent(enemyMesh, {{-0.24f, -0.25f, 0.0f}, {0.24f, 0.25f, 0.43f}}, "enemy");
    ExpectExtent(heroFrameA, {{-0.51f, -0.37f, -0.38f}, {0.30f, 0.37f, 0.65f}}, "hero A");
    ExpectExtent(heroFrameB, {{-0.51f, -0.37f, -0.38f}, {0.30f, 0.37f, 0.59f}}, "hero B");
    ExpectExtent(heroFrameC, {{-0.51f, -0.37f, -0.38f}, {0.30f, 0.37f, 0.66f}}, "hero C");
    ExpectExtent(landscapeMesh, {{-58.f, -58.f, -21.f}, {62.f, 58.f, 25.f}}, "landscape");
    // The enemy stands on the floor.
    EXPECT_NEAR(Measure(enemyMesh).lo[2], 0.0f, 0.005f);
}

TEST(Models, HeroFramesArePosesOfOneFigure) {
    const Mesh* frames[] = {&heroFrameA, &heroFrameB, &heroFrameC};
    float largestMove = 0;
    int differentTriangles = 0;
    for (int f = 1; f < 3; ++f) {
        for (int i = 0; i < heroFrameA.vertexCount; ++i) {
            const MeshVertex& a = heroFrameA.vertices[i];
            const MeshVertex& b = frames[f]->vertices[i];
            ASSERT_EQ(a.u, b.u) << "vertex " << i;
            ASSERT_EQ(a.v, b.v) << "vertex " << i;
            ASSERT_EQ(a.w, b.w) << "vertex " << i;
            const float d = std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
            largestMove = std::max(largestMove, d);
        }
        for (int k = 0; k < heroFrameA.indexCount; k += 3) {
            differentTriangles += !std::equal(heroFrameA.indices + k, heroFrameA.indices + k + 3,
                                              frames[f]->indices + k);
        }
    }
    EXPECT_GT(largestMove, 0.05f) << "the poses differ";
    EXPECT_LE(largestMove, 0.39f);
    EXPECT_LE(differentTriangles, 100) << "the frames' lists differ in a handful of triangles";
}

TEST(Models, LandscapeIsAValleyRingedByMountains) {
    const int columns = 12, rows = 11;
    const float scale = LandscapeUvScale();
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const MeshVertex& v = landscapeVertices[i + columns * j];
            const bool border = i == 0 || j == 0 || i == columns - 1 || j == rows - 1;
            if (border) {
                EXPECT_GE(v.z, 20.0f);
                EXPECT_LE(v.z, 25.0f);
            } else {
                EXPECT_GE(v.z, -21.0f);
                EXPECT_LE(v.z, -3.0f);
            }
            EXPECT_NEAR(v.u, scale * i / 11.0f, scale * 0.01f);
            EXPECT_NEAR(v.v, scale * j / 10.0f, scale * 0.01f);
        }
    }
    // Rows of 12 run along x, about 10.9 apart; the next row is about 11 further along y.
    EXPECT_NEAR(landscapeVertices[1].x - landscapeVertices[0].x, 10.9f, 1.5f);
    EXPECT_NEAR(landscapeVertices[12].y - landscapeVertices[0].y, 11.5f, 1.5f);
    // The board (z = 0, -7..8) floats above the valley floor.
    for (int i = 0; i < kLandscapeVertexCount; ++i) {
        const MeshVertex& v = landscapeVertices[i];
        if (v.x > -12 && v.x < 13 && v.y > -12 && v.y < 13) {
            EXPECT_LT(v.z, -3.0f);
        }
    }
}

}  // namespace

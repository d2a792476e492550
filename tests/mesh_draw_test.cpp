#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/virtual/VirtualSystem.h"
#include "render/MeshDraw.h"
#include "render/SphereListCache.h"
#include "world/Models.h"

namespace {

class MeshDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        SetSys(&sys_);
        ASSERT_TRUE(sys_.MakeStandaloneGlContext(64, 64));
        SphereListCache::Instance().Forget();
    }
    void TearDown() override {
        SphereListCache::Instance().Forget();
        SetSys(nullptr);
    }

    // Pixels that are not the black clear colour.
    int LitPixels() {
        std::vector<uint8_t> rgb;
        int w = 0, h = 0;
        EXPECT_TRUE(sys_.ReadPixels(rgb, w, h));
        int lit = 0;
        for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
            lit += rgb[i] + rgb[i + 1] + rgb[i + 2] > 0;
        }
        return lit;
    }

    VirtualSystem sys_;
};

TEST_F(MeshDrawing, SolidSphereCompilesOneListPerRadius) {
    SphereListCache& cache = SphereListCache::Instance();
    SolidSphere(0.1);
    const GLuint first = cache.Find(0.1);
    ASSERT_NE(first, 0u);
    SolidSphere(0.1);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Find(0.1), first);

    SolidSphere(0.2);
    EXPECT_EQ(cache.Count(), 2);
    const GLuint second = cache.Find(0.2);
    EXPECT_NE(second, first);
    EXPECT_EQ(cache.Find(0.1), first);
    EXPECT_TRUE(glIsList(first));
    EXPECT_TRUE(glIsList(second));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshDrawing, SolidSphereDrawsOnFirstCallAndFromItsList) {
    glClearColor(0, 0, 0, 1);
    glColor3f(1, 0, 0);
    for (int call = 0; call < 2; ++call) {
        glClear(GL_COLOR_BUFFER_BIT);
        SolidSphere(0.5);  // the default projection shows -1..1
        EXPECT_GT(LitPixels(), 64 * 64 / 8) << "call " << call;
    }
    EXPECT_EQ(SphereListCache::Instance().Count(), 1);
}

TEST_F(MeshDrawing, SolidSphereNeverMatchesNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    SolidSphere(nan);
    SolidSphere(nan);
    EXPECT_EQ(SphereListCache::Instance().Count(), 2);
    EXPECT_EQ(SphereListCache::Instance().Find(nan), 0u);
}

TEST_F(MeshDrawing, DrawMeshLeavesOnlyTheVertexArrayOn) {
    glEnableClientState(GL_VERTEX_ARRAY);
    for (const Mesh* m : {&bombMesh, &enemyMesh, &heroFrameA, &landscapeMesh}) {
        DrawMesh(*m);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshDrawing, DrawMeshDrawsTheWholeModel) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(4, 4, 4);  // the bomb's radius of 0.15 becomes 0.6 of the view
    DrawMesh(bombMesh);
    // A disc of radius 0.6 of the half-width covers about 28% of the view.
    const int lit = LitPixels();
    EXPECT_GT(lit, 64 * 64 * 22 / 100);
    EXPECT_LT(lit, 64 * 64 * 36 / 100);
}

}  // namespace

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "support/GameHarness.h"

namespace {

// Window pixel (top-left origin) where the world point lands.
void Project(const Vec3& p, double& x, double& y, int height) {
    GLdouble model[16], proj[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    GLdouble wx, wy, wz;
    gluProject(p.x, p.y, p.z, model, proj, view, &wx, &wy, &wz);
    x = wx;
    y = height - wy;
}

}  // namespace

TEST(Camera, StandsBehindAndAboveTheHero) {
    GameHarness h;
    Game& g = h.game();
    g.SetupCamera();
    EXPECT_FLOAT_EQ(g.center.x, -5.5f);
    EXPECT_FLOAT_EQ(g.center.y, -5.5f);
    EXPECT_FLOAT_EQ(g.center.z, 0.5f);
    EXPECT_FLOAT_EQ(g.eye.x, -11.5f);
    EXPECT_FLOAT_EQ(g.eye.y, -5.5f);
    EXPECT_FLOAT_EQ(g.eye.z, 5.5f);

    // A jump does not move the target; a turn swings the eye around it.
    g.hero.position.z = 1.9f;
    SetIdentity(g.hero.orientation);
    SetRotation(g.hero.orientation, 0, 0, 0.07);
    g.SetupCamera();
    EXPECT_FLOAT_EQ(g.center.z, 0.5f);
    const double angle = std::atan2(g.center.y - g.eye.y, g.center.x - g.eye.x);
    EXPECT_NEAR(angle, 0.07, 1e-6);
    EXPECT_NEAR(std::hypot(g.center.x - g.eye.x, g.center.y - g.eye.y), 6.0, 1e-5);
}

TEST(Camera, ScreenToWorldProjectsBackOntoThePixel) {
    for (auto size : {std::pair{1280, 720}, std::pair{1920, 1080}, std::pair{800, 600}}) {
        VirtualSystem::Options o;
        o.desktopWidth = size.first;
        o.desktopHeight = size.second;
        GameHarness h(o);
        Game& g = h.game();
        SetIdentity(g.hero.orientation);
        SetRotation(g.hero.orientation, 0, 0, 2.3);
        g.hero.position = Vec3{1.25f, -3.0f, 0.5f};
        g.SetupCamera();
        const int w = g.viewWidth, ht = g.viewHeight;
        const int points[][2] = {{0, 0}, {w, 0}, {w, ht}, {0, ht}, {w - 150, 100}, {w / 2, ht / 2}};
        for (const auto& pt : points) {
            Vec3 p;
            g.ScreenToWorld(pt[0], pt[1], p);
            double x, y;
            Project(p, x, y, ht);
            EXPECT_NEAR(x, pt[0], 0.5) << w << "x" << ht << " at " << pt[0] << "," << pt[1];
            EXPECT_NEAR(y, pt[1], 0.5) << w << "x" << ht << " at " << pt[0] << "," << pt[1];
        }
        Vec3 c;
        g.ScreenToWorld(w / 2, ht / 2, c);
        EXPECT_NEAR(c.x, g.center.x, 1e-5);
        EXPECT_NEAR(c.y, g.center.y, 1e-5);
        EXPECT_NEAR(c.z, g.center.z, 1e-5);
    }
}

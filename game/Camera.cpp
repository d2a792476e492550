#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "game/Game.h"

void Game::SetupCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Vec3 d{hero.orientation[0], hero.orientation[1], hero.orientation[2]};
    center = hero.position;
    center.z = 0.5f;
    Scale(d, 6.0);
    Sub(eye, center, d);
    eye.z += 5.0f;
    gluLookAt(eye.x, eye.y, eye.z, center.x, center.y, center.z, up.x, up.y, up.z);
}

void Game::ScreenToWorld(int x, int y, Vec3& out) const {
    const int w = viewWidth;
    const int h = viewHeight;
    Vec3 d;
    Sub(d, eye, center);
    const double dist = Length(d);
    const double half = dist * std::tan(0.3926991f);
    const double a = -((x - w / 2) * half / (w * 0.5)) * aspect;
    const double b = (y - h / 2) * half / (h * 0.5);
    Normalize(d);
    Vec3 r;
    Cross(r, Vec3{0.0f, 0.0f, -1.0f}, d);
    Normalize(r);
    Vec3 u;
    Cross(u, d, r);
    Vec3 ub, ra;
    Scaled(ub, u, b);
    Scaled(ra, r, a);
    Add(out, center, ub);
    Add(out, out, ra);
}

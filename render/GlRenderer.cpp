#include "render/GlRenderer.h"

#include <GL/glu.h>

#include <cmath>
#include <cstdio>

#include "image/Texture.h"
#include "platform/GlFont.h"
#include "render/FontLists.h"
#include "render/LandscapeUv.h"
#include "render/MeshDraw.h"
#include "world/Models.h"

namespace {

struct Corner {
    float x, y, z;
};

// One quad with its corners at texture coordinates (0,0), (1,0), (1,1), (0,1).
void Quad(const Corner& a, const Corner& b, const Corner& c, const Corner& d) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(a.x, a.y, a.z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(b.x, b.y, b.z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(c.x, c.y, c.z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(d.x, d.y, d.z);
    glEnd();
}

}  // namespace

void GlRenderer::SetupState(const Vec3& eye, const Vec3& center, const ViewSize& view) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.1f, 0.1f, 0.5f, 0.0f);
    LoadCamera(eye, center, view);
    // Given while the view is loaded, so the lights stay put relative to the camera.
    const GLfloat light0[] = {100.0f, 100.0f, 100.0f, 1.0f};
    const GLfloat light1[] = {0.0f, 0.0f, 1000.0f, 1.0f};
    const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light0);
    glLightfv(GL_LIGHT1, GL_POSITION, light1);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glEnable(GL_LIGHTING);
    LoadCamera(eye, center, view);
}

void GlRenderer::SetViewport(int width, int height) {
    glViewport(0, 0, width, height);
}

void GlRenderer::Flush() {
    glFlush();
}

void GlRenderer::LoadBoardTextures() {
    // Each file only after all before it loaded: the first failure ends it.
    LoadBmpTexture("wood.bmp", wallTexture, TextureSet::MipmappedClamped, "Board") &&
        LoadBmpTexture("board.bmp", floorTexture, TextureSet::MipmappedClamped, "Board") &&
        LoadBmpTexture("top.bmp", topTexture, TextureSet::MipmappedClamped, "Board") &&
        LoadBmpTexture("LandScape.bmp", landscapeTexture, TextureSet::MipmappedRepeating, "Board");
    ScaleLandscapeOnce();
}

void GlRenderer::LoadHeroTextures() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_TEXTURE_2D);
    // The loaders show their own message and leave the name 0 on failure:
    // the hero is then drawn untextured, never from a missing picture.
    LoadShadowTexture("Shadow.bmp", shadowTexture);
    LoadDibTexture("Hero.bmp", heroTexture);
}

void GlRenderer::CreateFontLists() {
    BuildGlFontLists("Arial", 30, 700, kFontListBase);
    glListBase(kFontListBase);
}

void GlRenderer::LoadEnemyTexture() {
    // Without the picture the name stays 0 and the enemies are drawn untextured.
    LoadBmpTexture("Enemy1.bmp", enemyTexture, TextureSet::MipmappedClamped, "Board");
}

void GlRenderer::LoadBombTexture() {
    LoadBmpTexture("bomb.bmp", bombTexture, TextureSet::MipmappedClamped, "Bomb");
}

void GlRenderer::LoadCamera(const Vec3& eye, const Vec3& center, const ViewSize& view) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, view.aspect, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, center.x, center.y, center.z, 0.0f, 0.0f, 1.0f);
}

void GlRenderer::Draw(const FrameState& s, const ViewSize& view) {
    LoadCamera(s.eye, s.center, view);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Execute(walk_.Walk(s, view));
}

void GlRenderer::DrawBoard(const FrameState& s) const {
    Execute(walk_.WalkBoard(s));
}

void GlRenderer::DrawHero(const ShownHero& hero) const {
    Execute(walk_.WalkHero(hero));
}

GLuint GlRenderer::TextureOf(Picture picture) const {
    // In the order of Picture.
    const GLuint names[] = {floorTexture,     wallTexture,   topTexture,
                            landscapeTexture, shadowTexture, heroTexture,
                            enemyTexture,     bombTexture,   splashTexture};
    return names[static_cast<int>(picture)];
}

namespace {

// Loads a draw's placement onto the matrix stack; false when it draws at the view itself.
bool Push(const Placement& p) {
    if (!p.placed) {
        return false;
    }
    glPushMatrix();
    glTranslatef(p.at.x, p.at.y, p.at.z);
    if (p.orientation != nullptr) {
        glMultMatrixf(p.orientation->m);
    }
    if (p.offset) {
        glTranslatef(p.by.x, p.by.y, p.by.z);
    }
    return true;
}

void Switch(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

}  // namespace

// Each quad its own glBegin/glEnd, each text at the raster position its
// colour is taken at, as the fixed function has always been fed.
void GlRenderer::Execute(const std::vector<DrawCommand>& list) const {
    using Kind = DrawCommand::Kind;
    for (const DrawCommand& c : list) {
        switch (c.kind) {
            case Kind::Texturing:
                Switch(GL_TEXTURE_2D, c.on);
                break;
            case Kind::Bind:
                glBindTexture(GL_TEXTURE_2D, TextureOf(c.picture));
                break;
            case Kind::Lighting:
                Switch(GL_LIGHTING, c.on);
                break;
            case Kind::Decal:
                glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, c.on ? GL_DECAL : GL_MODULATE);
                break;
            case Kind::Blend:
                if (c.on) {
                    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                    glAlphaFunc(GL_GREATER, 0.0001f);
                }
                Switch(GL_BLEND, c.on);
                Switch(GL_ALPHA_TEST, c.on);
                break;
            case Kind::Color:
                glColor4fv(c.color);
                break;
            case Kind::Quad: {
                const bool pushed = Push(c.placement);
                const Vec3* v = c.corners;
                Quad({v[0].x, v[0].y, v[0].z}, {v[1].x, v[1].y, v[1].z}, {v[2].x, v[2].y, v[2].z},
                     {v[3].x, v[3].y, v[3].z});
                if (pushed) {
                    glPopMatrix();
                }
                break;
            }
            case Kind::Mesh:
            case Kind::Sphere: {
                const bool pushed = Push(c.placement);
                if (c.kind == Kind::Sphere) {
                    SolidSphere(static_cast<double>(0.1f));
                } else {
                    DrawMesh(c.part != nullptr ? *c.part : *c.mesh);
                }
                if (pushed) {
                    glPopMatrix();
                }
                break;
            }
            case Kind::TextPass:
                glListBase(kFontListBase);
                glDepthFunc(GL_ALWAYS);
                glDisable(GL_DEPTH_TEST);
                glDisable(GL_TEXTURE_2D);
                break;
            case Kind::Text:
                glRasterPos3f(c.corners[0].x, c.corners[0].y, c.corners[0].z);
                glCallLists(static_cast<GLsizei>(c.text.size()), GL_UNSIGNED_BYTE, c.text.data());
                break;
            case Kind::DepthTest:
                glDepthFunc(GL_LEQUAL);
                glEnable(GL_DEPTH_TEST);
                break;
        }
    }
}

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

// Picked by the hero's pose: the bobbing also animates the figure.
const Mesh* const kHeroFrames[3] = {&heroFrameA, &heroFrameB, &heroFrameC};

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
    if (s.title) {
        DrawTitle(s, view);
    } else {
        DrawPlaying(s, view);
    }
}

void GlRenderer::DrawTitle(const FrameState& s, const ViewSize& view) const {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, splashTexture);
    Vec3 a, b, c, d;
    ScreenToWorld(s.eye, s.center, view, 0, 0, a);
    ScreenToWorld(s.eye, s.center, view, view.width, 0, b);
    ScreenToWorld(s.eye, s.center, view, view.width, view.height, c);
    ScreenToWorld(s.eye, s.center, view, 0, view.height, d);
    Quad({a.x, a.y, a.z}, {b.x, b.y, b.z}, {c.x, c.y, c.z}, {d.x, d.y, d.z});
    if (!s.gameOver) {
        return;
    }
    BeginTextPass();
    const int left = view.width / 2 - 150;
    glColor3f(1.0f, 1.0f, 0.0f);
    DrawText(s, view, left, 50, "The Best:");
    glColor3f(1.0f, 0.0f, 1.0f);
    char line[1200];
    for (int i = 0; i < 5; ++i) {
        const ShownScore& e = s.scores[i];
        std::snprintf(line, sizeof line, "%d. %s : %d", i + 1, e.name.c_str(), e.score);
        DrawText(s, view, left, 100 + 50 * i, line);
    }
    glColor3f(1.0f, 1.0f, 0.0f);
    DrawText(s, view, left, 350, "Press 'SHIFT' to clean the Scores");
    if (!s.worldRank.empty()) {
        DrawText(s, view, left, 400, s.worldRank.c_str());
    }
}

void GlRenderer::DrawPlaying(const FrameState& s, const ViewSize& view) const {
    DrawBoard(s);
    if (s.actorsShown) {
        DrawHero(s.hero);
        DrawEnemies(s);
        DrawBombs(s);
    }
    BeginTextPass();
    char text[64];
    const int right = view.width - 150;
    std::snprintf(text, sizeof text, "Enemies: %d", s.enemiesLeft);
    glColor3f(0.0f, 1.0f, 0.0f);
    DrawText(s, view, right, 100, text);
    std::snprintf(text, sizeof text, "Level: %d", s.level);
    glColor3f(0.0f, 1.0f, 1.0f);
    DrawText(s, view, right, 150, text);
    std::snprintf(text, sizeof text, "Lifes: %d", s.lives);
    glColor3f(1.0f, 0.0f, 0.0f);
    DrawText(s, view, right, 200, text);
    std::snprintf(text, sizeof text, "Scores: %d", s.score);
    glColor3f(1.0f, 0.0f, 1.0f);
    DrawText(s, view, right, 250, text);
    if (s.banner) {
        std::snprintf(text, sizeof text, "Level %d", s.level);
        glColor3f(0.0f, 1.0f, 1.0f);
        DrawText(s, view, view.width / 2 - 100, view.height / 4, text);
    }
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
}

// Blocks are four sides, each its own quad, with t = 0 at the top edge, then
// the top; no bottom: nothing looks at a block from below. Then the floor,
// then the landscape around the board, less what the board hides.
// llvmpipe's results depend on which quads share a draw (a draw with any
// primitive to clip takes another path), so the board's quads keep their
// order and grouping: culling or sorting them moves pixels at the edges.
void GlRenderer::DrawBoard(const FrameState& s) const {
    glEnable(GL_TEXTURE_2D);
    for (int r = 0; r < kBoardSize; ++r) {
        for (int c = 0; c < kBoardSize; ++c) {
            const float x0 = static_cast<float>(r - 7), x1 = static_cast<float>(r - 6);
            const float y0 = static_cast<float>(c - 7), y1 = static_cast<float>(c - 6);
            const uint8_t code = s.cells[r * kBoardSize + c];
            if (code == SolidCell) {
                glBindTexture(GL_TEXTURE_2D, wallTexture);
                Quad({x0, y0, 1}, {x1, y0, 1}, {x1, y0, 0}, {x0, y0, 0});
                Quad({x1, y0, 1}, {x1, y1, 1}, {x1, y1, 0}, {x1, y0, 0});
                Quad({x0, y0, 1}, {x0, y1, 1}, {x0, y1, 0}, {x0, y0, 0});
                Quad({x1, y1, 1}, {x0, y1, 1}, {x0, y1, 0}, {x1, y1, 0});
                glBindTexture(GL_TEXTURE_2D, topTexture);
                Quad({x0, y0, 1}, {x1, y0, 1}, {x1, y1, 1}, {x0, y1, 1});
            } else if (code == 1 || code == 2) {
                glBindTexture(GL_TEXTURE_2D, floorTexture);
                Quad({x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0});
            }
        }
    }
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glBindTexture(GL_TEXTURE_2D, landscapeTexture);
    DrawMesh(hiddenLandscape_.Visible(landscapeMesh, s.eye, s.cells));
}

void GlRenderer::DrawHero(const ShownHero& hero) const {
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    glTranslatef(hero.at.x, hero.at.y, hero.at.z);
    glBindTexture(GL_TEXTURE_2D, heroTexture);
    glMultMatrixf(hero.orientation.m);
    // Decal, unblended: the skin replaces the colour; texture 0 (no picture) leaves it untextured.
    DrawMesh(*kHeroFrames[hero.frame]);
    glPopMatrix();
    DrawShadow(hero.at.x, hero.at.y);
}

// A square of the shadow picture just above the floor, blended by its alpha;
// it does not turn with the hero and stays on the floor during a jump.
void GlRenderer::DrawShadow(float x, float y) const {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0001f);
    glEnable(GL_ALPHA_TEST);
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, shadowTexture);
    glColor4f(0.1f, 0.1f, 0.1f, 0.99f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.25f, 0.25f, 0.1f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.25f, -0.25f, 0.1f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-0.25f, -0.25f, 0.1f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.25f, 0.25f, 0.1f);
    glEnd();
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    // Everything drawn after the hero relies on decal.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
}

void GlRenderer::DrawEnemies(const FrameState& s) const {
    for (const ShownEnemy& e : s.enemies) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, enemyTexture);
        glPushMatrix();
        glTranslatef(e.position.x, e.position.y, e.position.z);
        glMultMatrixf(e.orientation.m);
        DrawMesh(enemyMesh);
        glPopMatrix();
        glDisable(GL_TEXTURE_2D);
    }
}

void GlRenderer::DrawBombs(const FrameState& s) const {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, bombTexture);
    for (const ShownBomb& b : s.bombs) {
        glPushMatrix();
        glTranslatef(b.at.x, b.at.y, b.at.z);
        if (b.exploded) {
            for (int k = 0; k < ShownBomb::kFragments; ++k) {
                const Vec3& d = b.fragments[k];
                glDisable(GL_TEXTURE_2D);
                glPushMatrix();
                glTranslatef(d.x, d.y, d.z);
                glColor3f(1.0f - b.spread, b.spread, b.blue[k]);
                SolidSphere(static_cast<double>(0.1f));
                glPopMatrix();
            }
        } else {
            glEnable(GL_TEXTURE_2D);
            DrawMesh(bombMesh);
        }
        glPopMatrix();
    }
}

void GlRenderer::BeginTextPass() const {
    glListBase(kFontListBase);
    glDepthFunc(GL_ALWAYS);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
}

// The colour is set by the caller before, so the raster colour takes it.
void GlRenderer::DrawText(const FrameState& s, const ViewSize& view, int x, int y,
                          const char* text) const {
    Vec3 p;
    ScreenToWorld(s.eye, s.center, view, x, y, p);
    glRasterPos3f(p.x, p.y, p.z);
    int length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    glCallLists(length, GL_UNSIGNED_BYTE, text);
}

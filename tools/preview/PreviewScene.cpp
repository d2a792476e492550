#include "tools/preview/PreviewScene.h"

#include <GL/glu.h>

#include <cmath>

#include "image/JpegImage.h"
#include "image/Texture.h"
#include "render/MeshDraw.h"
#include "world/Levels.h"
#include "world/Models.h"

bool LoadPreviewTextures(PreviewTextures& t, std::string* missing) {
    struct BmpFile {
        const char* name;
        GLuint* field;
        TextureSet set;
    };
    const BmpFile bmps[] = {
        {"wood.bmp", &t.wood, TextureSet::MipmappedClamped},
        {"board.bmp", &t.floor, TextureSet::MipmappedClamped},
        {"top.bmp", &t.top, TextureSet::MipmappedClamped},
        {"LandScape.bmp", &t.landscape, TextureSet::MipmappedRepeating},
        {"Enemy1.bmp", &t.enemy, TextureSet::MipmappedClamped},
        {"bomb.bmp", &t.bomb, TextureSet::MipmappedClamped},
    };
    for (const BmpFile& b : bmps) {
        if (!LoadBmpTexture(b.name, *b.field, b.set, "Preview")) {
            *missing = b.name;
            return false;
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (!LoadShadowTexture("Shadow.bmp", t.shadow)) {
        *missing = "Shadow.bmp";
        return false;
    }
    if (!LoadDibTexture("Hero.bmp", t.hero)) {
        *missing = "Hero.bmp";
        return false;
    }
    JpegImage title;
    if (!title.Load("First.jpg") || title.bytesPerPixel != 3) {
        *missing = "First.jpg";
        return false;
    }
    CreateTexture(t.title, TextureSet::MipmappedClamped, title.width, title.height,
                  TextureFormat::Rgb, title.pixels.get());
    return true;
}

void BeginView(const View& v, int width, int height) {
    glViewport(0, 0, width, height);
    glClearColor(0.36f, 0.42f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(v.fieldOfView, static_cast<double>(width) / height, 0.05, 400.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const double az = v.azimuth * M_PI / 180, el = v.elevation * M_PI / 180;
    const double ex = v.targetX + v.distance * std::cos(el) * std::cos(az);
    const double ey = v.targetY + v.distance * std::cos(el) * std::sin(az);
    const double ez = v.targetZ + v.distance * std::sin(el);
    gluLookAt(ex, ey, ez, v.targetX, v.targetY, v.targetZ, 0, 0, 1);
}

namespace {

void Quad(GLuint texture, const double corners[4][3]) {
    static const double tc[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    for (int k = 0; k < 4; ++k) {
        glTexCoord2d(tc[k][0], tc[k][1]);
        glVertex3dv(corners[k]);
    }
    glEnd();
}

// One cell as the board draws it: a block with four sides and a top, or floor.
void Cell(const PreviewTextures& t, double x0, double y0, double z, bool block) {
    const double x1 = x0 + 1, y1 = y0 + 1;
    if (!block) {
        const double floor[4][3] = {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
        Quad(t.floor, floor);
        return;
    }
    const double top = z + 1;
    const double sides[4][4][3] = {
        {{x0, y0, top}, {x1, y0, top}, {x1, y0, z}, {x0, y0, z}},
        {{x1, y0, top}, {x1, y1, top}, {x1, y1, z}, {x1, y0, z}},
        {{x0, y0, top}, {x0, y1, top}, {x0, y1, z}, {x0, y0, z}},
        {{x1, y1, top}, {x0, y1, top}, {x0, y1, z}, {x1, y1, z}},
    };
    for (const auto& side : sides) {
        Quad(t.wood, side);
    }
    const double lid[4][3] = {{x0, y0, top}, {x1, y0, top}, {x1, y1, top}, {x0, y1, top}};
    Quad(t.top, lid);
}

}  // namespace

void DrawFloorPatch(const PreviewTextures& t, double z, int cells) {
    glEnable(GL_TEXTURE_2D);
    for (int i = -cells; i < cells; ++i) {
        for (int j = -cells; j < cells; ++j) {
            Cell(t, i, j, z, false);
        }
    }
}

void DrawTexturedMesh(const Mesh& mesh, GLuint texture) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    DrawMesh(mesh);
}

void DrawBoardScene(const PreviewTextures& t) {
    glEnable(GL_TEXTURE_2D);
    const char* layout = kLevelLayouts[0];
    for (int r = 0; r < 15; ++r) {
        for (int c = 0; c < 15; ++c) {
            Cell(t, r - 7, c - 7, 0, layout[r * 15 + c] == '0');
        }
    }
    // The board scales the landscape's texture coordinates once at start.
    static bool scaled = false;
    if (!scaled) {
        for (MeshVertex& v : landscapeVertices) {
            v.u *= 20;
            v.v *= 20;
        }
        scaled = true;
    }
    DrawTexturedMesh(landscapeMesh, t.landscape);
}

void DrawShadow(const PreviewTextures& t, double x, double y) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0001f);
    glEnable(GL_ALPHA_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, t.shadow);
    glColor4f(0.1f, 0.1f, 0.1f, 0.99f);
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0);
    glVertex3d(x + 0.25, y + 0.25, 0.1);
    glTexCoord2d(1, 0);
    glVertex3d(x + 0.25, y - 0.25, 0.1);
    glTexCoord2d(1, 1);
    glVertex3d(x - 0.25, y - 0.25, 0.1);
    glTexCoord2d(0, 1);
    glVertex3d(x - 0.25, y + 0.25, 0.1);
    glEnd();
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glColor4f(1, 1, 1, 1);
}

void DrawTitle(const PreviewTextures& t) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 1, 0, -1, 1);  // y down, like window pixels
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glBindTexture(GL_TEXTURE_2D, t.title);
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0);
    glVertex2d(0, 0);
    glTexCoord2d(1, 0);
    glVertex2d(1, 0);
    glTexCoord2d(1, 1);
    glVertex2d(1, 1);
    glTexCoord2d(0, 1);
    glVertex2d(0, 1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

#include "world/Board.h"

#include "image/Texture.h"
#include "world/Levels.h"
#include "world/Mesh.h"
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

// The landscape's texture repeats 20 times each way. Its vertices are
// program-wide, so the scaling is remembered beside them: a second board
// (a second game in one run) must not scale them again.
bool landscapeScaled = false;

void ScaleLandscapeOnce() {
    if (landscapeScaled) {
        return;
    }
    for (MeshVertex& v : landscapeVertices) {
        v.u *= 20.0f;
        v.v *= 20.0f;
    }
    landscapeScaled = true;
}

}  // namespace

bool Board::Init() {
    level = 0;
    Rebuild();
    LoadTextures();
    ScaleLandscapeOnce();
    return true;
}

void Board::Rebuild() {
    // level is never negative in play; the guard keeps a stray value on the table.
    const int layout = ((level % kLevelCount) + kLevelCount) % kLevelCount;
    for (int i = 0; i < kBoardSize * kBoardSize; ++i) {
        cells[i] = static_cast<uint8_t>(kLevelLayouts[layout][i] - '0');
    }
}

bool Board::LoadTextures() {
    // Each file only after all before it loaded: the first failure ends it.
    return LoadBmpTexture("wood.bmp", wallTexture, TextureSet::MipmappedClamped, "Board") &&
           LoadBmpTexture("board.bmp", floorTexture, TextureSet::MipmappedClamped, "Board") &&
           LoadBmpTexture("top.bmp", topTexture, TextureSet::MipmappedClamped, "Board") &&
           LoadBmpTexture("LandScape.bmp", landscapeTexture, TextureSet::MipmappedRepeating,
                          "Board");
}

void Board::Draw() {
    glEnable(GL_TEXTURE_2D);
    for (int r = 0; r < kBoardSize; ++r) {
        for (int c = 0; c < kBoardSize; ++c) {
            const float x0 = static_cast<float>(r - 7), x1 = static_cast<float>(r - 6);
            const float y0 = static_cast<float>(c - 7), y1 = static_cast<float>(c - 6);
            const uint8_t code = cells[r * kBoardSize + c];
            if (code == SolidCell) {
                DrawBlock(x0, y0, x1, y1);
            } else if (code == 1 || code == 2) {
                DrawFloor(x0, y0, x1, y1);
            }
        }
    }
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glBindTexture(GL_TEXTURE_2D, landscapeTexture);
    DrawMesh(landscapeMesh);
}

// Four sides, each its own quad, with t = 0 at the top edge; then the top.
// No bottom: nothing looks at a block from below.
void Board::DrawBlock(float x0, float y0, float x1, float y1) const {
    glBindTexture(GL_TEXTURE_2D, wallTexture);
    Quad({x0, y0, 1}, {x1, y0, 1}, {x1, y0, 0}, {x0, y0, 0});
    Quad({x1, y0, 1}, {x1, y1, 1}, {x1, y1, 0}, {x1, y0, 0});
    Quad({x0, y0, 1}, {x0, y1, 1}, {x0, y1, 0}, {x0, y0, 0});
    Quad({x1, y1, 1}, {x0, y1, 1}, {x0, y1, 0}, {x1, y1, 0});
    glBindTexture(GL_TEXTURE_2D, topTexture);
    Quad({x0, y0, 1}, {x1, y0, 1}, {x1, y1, 1}, {x0, y1, 1});
}

void Board::DrawFloor(float x0, float y0, float x1, float y1) const {
    glBindTexture(GL_TEXTURE_2D, floorTexture);
    Quad({x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0});
}

Box Board::CellBox(int r, int c) const {
    return Box{static_cast<float>(r - 7), static_cast<float>(c - 7), 0.0f,
               static_cast<float>(r - 6), static_cast<float>(c - 6), 1.0f};
}

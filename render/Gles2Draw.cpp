// The pictures of Gles2Renderer, in GlRenderer's order and with its state
// changes, so that the two agree.
#include <cmath>
#include <cstdio>
#include <vector>

#include "render/Gles2Renderer.h"
#include "world/Models.h"

namespace {

struct Corner {
    float x, y, z;
};

// Picked by the hero's pose: the bobbing also animates the figure.
const Mesh* const kHeroFrames[3] = {&heroFrameA, &heroFrameB, &heroFrameC};

}  // namespace

namespace {

// A model matrix: the view, moved to (x, y, z), then turned by orientation (or not).
void Place(const float* view, float x, float y, float z, const float* orientation, float* out) {
    float moved[16];
    for (int i = 0; i < 16; ++i) {
        moved[i] = view[i];
    }
    for (int row = 0; row < 4; ++row) {
        moved[12 + row] = view[row] * x + view[4 + row] * y + view[8 + row] * z + view[12 + row];
    }
    if (orientation == nullptr) {
        for (int i = 0; i < 16; ++i) {
            out[i] = moved[i];
        }
        return;
    }
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) {
                s += moved[4 * k + row] * orientation[4 * c + k];
            }
            out[4 * c + row] = s;
        }
    }
}

}  // namespace

void Gles2Renderer::Draw(const FrameState& s, const ViewSize& view) {
    if (!EnsureStream()) {
        return;
    }
    LoadCamera(s.eye, s.center, view);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    viewportWidth_ = viewport[2];
    viewportHeight_ = viewport[3];
    if (s.title) {
        DrawTitle(s, view);
    } else {
        DrawPlaying(s, view);
    }
}

namespace {

// One quad with its corners at texture coordinates (0,0), (1,0), (1,1), (0,1),
// as two triangles split the way the fixed function splits a quad.
template <typename V>
void Quad(std::vector<V>& out, const Corner& a, const Corner& b, const Corner& c, const Corner& d) {
    const V va{a.x, a.y, a.z, 0.0f, 0.0f};
    const V vb{b.x, b.y, b.z, 1.0f, 0.0f};
    const V vc{c.x, c.y, c.z, 1.0f, 1.0f};
    const V vd{d.x, d.y, d.z, 0.0f, 1.0f};
    out.insert(out.end(), {va, vb, vd, vb, vc, vd});
}

}  // namespace

void Gles2Renderer::DrawTitle(const FrameState& s, const ViewSize& view) {
    texturing_ = true;
    bound_ = &splashTexture;
    Vec3 a, b, c, d;
    ScreenToWorld(s.eye, s.center, view, 0, 0, a);
    ScreenToWorld(s.eye, s.center, view, view.width, 0, b);
    ScreenToWorld(s.eye, s.center, view, view.width, view.height, c);
    ScreenToWorld(s.eye, s.center, view, 0, view.height, d);
    std::vector<StreamVertex> quad;
    Quad(quad, {a.x, a.y, a.z}, {b.x, b.y, b.z}, {c.x, c.y, c.z}, {d.x, d.y, d.z});
    Stream(quad);
    DrawStream(view_, {{bound_, 0, 6}});
    if (!s.gameOver) {
        return;
    }
    BeginTextPass();
    const int left = view.width / 2 - 150;
    SetColor(1.0f, 1.0f, 0.0f);
    DrawText(s, view, left, 50, "The Best:");
    SetColor(1.0f, 0.0f, 1.0f);
    char line[1200];
    for (int i = 0; i < 5; ++i) {
        const ShownScore& e = s.scores[i];
        std::snprintf(line, sizeof line, "%d. %s : %d", i + 1, e.name.c_str(), e.score);
        DrawText(s, view, left, 100 + 50 * i, line);
    }
    SetColor(1.0f, 1.0f, 0.0f);
    DrawText(s, view, left, 350, "Press 'SHIFT' to clean the Scores");
    if (!s.worldRank.empty()) {
        DrawText(s, view, left, 400, s.worldRank.c_str());
    }
}

void Gles2Renderer::DrawPlaying(const FrameState& s, const ViewSize& view) {
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
    SetColor(0.0f, 1.0f, 0.0f);
    DrawText(s, view, right, 100, text);
    std::snprintf(text, sizeof text, "Level: %d", s.level);
    SetColor(0.0f, 1.0f, 1.0f);
    DrawText(s, view, right, 150, text);
    std::snprintf(text, sizeof text, "Lifes: %d", s.lives);
    SetColor(1.0f, 0.0f, 0.0f);
    DrawText(s, view, right, 200, text);
    std::snprintf(text, sizeof text, "Scores: %d", s.score);
    SetColor(1.0f, 0.0f, 1.0f);
    DrawText(s, view, right, 250, text);
    if (s.banner) {
        std::snprintf(text, sizeof text, "Level %d", s.level);
        SetColor(0.0f, 1.0f, 1.0f);
        DrawText(s, view, view.width / 2 - 100, view.height / 4, text);
    }
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
}

// Blocks are four sides, each its own quad, with t = 0 at the top edge, then
// the top; then the floor, then the landscape around the board. The quads of
// a frame go to the driver at once, drawn in runs of one texture.
void Gles2Renderer::DrawBoard(const FrameState& s) {
    texturing_ = true;
    std::vector<StreamVertex> quads;
    std::vector<Run> runs;
    auto add = [&](const Texture* t, const Corner& a, const Corner& b, const Corner& c,
                   const Corner& d) {
        const GLint first = static_cast<GLint>(quads.size());
        Quad(quads, a, b, c, d);
        if (!runs.empty() && runs.back().texture == t) {
            runs.back().count += 6;
        } else {
            runs.push_back({t, first, 6});
        }
    };
    for (int r = 0; r < kBoardSize; ++r) {
        for (int c = 0; c < kBoardSize; ++c) {
            const float x0 = static_cast<float>(r - 7), x1 = static_cast<float>(r - 6);
            const float y0 = static_cast<float>(c - 7), y1 = static_cast<float>(c - 6);
            const uint8_t code = s.cells[r * kBoardSize + c];
            if (code == SolidCell) {
                add(&wallTexture, {x0, y0, 1}, {x1, y0, 1}, {x1, y0, 0}, {x0, y0, 0});
                add(&wallTexture, {x1, y0, 1}, {x1, y1, 1}, {x1, y1, 0}, {x1, y0, 0});
                add(&wallTexture, {x0, y0, 1}, {x0, y1, 1}, {x0, y1, 0}, {x0, y0, 0});
                add(&wallTexture, {x1, y1, 1}, {x0, y1, 1}, {x0, y1, 0}, {x1, y1, 0});
                add(&topTexture, {x0, y0, 1}, {x1, y0, 1}, {x1, y1, 1}, {x0, y1, 1});
            } else if (code == 1 || code == 2) {
                add(&floorTexture, {x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0});
            }
        }
    }
    if (!runs.empty()) {
        Stream(quads);
        DrawStream(view_, runs);
        bound_ = runs.back().texture;
    }
    lighting_ = false;
    bound_ = &landscapeTexture;
    // Without the triangles hidden under the board: the same pixels, less to fill.
    const Mesh visible = hiddenLandscape_.Visible(landscapeMesh, s.eye, s.cells);
    DrawMesh(landscapeMesh, view_, &visible);
}

void Gles2Renderer::DrawHero(const ShownHero& hero) {
    lighting_ = false;
    texturing_ = true;
    bound_ = &heroTexture;
    float model[16];
    Place(view_, hero.at.x, hero.at.y, hero.at.z, hero.orientation.m, model);
    // Decal, unblended: the skin replaces the colour; no picture leaves it untextured.
    DrawMesh(*kHeroFrames[hero.frame], model);
    DrawShadow(hero.at.x, hero.at.y);
}

// A square of the shadow picture just above the floor, blended by its alpha;
// it does not turn with the hero and stays on the floor during a jump.
void Gles2Renderer::DrawShadow(float x, float y) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    alphaTest_ = true;
    float model[16];
    Place(view_, x, y, 0.0f, nullptr, model);
    decal_ = false;
    lighting_ = false;
    texturing_ = true;
    bound_ = &shadowTexture;
    SetColor(0.1f, 0.1f, 0.1f, 0.99f);
    std::vector<StreamVertex> quad;
    Quad(quad, {0.25f, 0.25f, 0.1f}, {0.25f, -0.25f, 0.1f}, {-0.25f, -0.25f, 0.1f},
         {-0.25f, 0.25f, 0.1f});
    Stream(quad);
    DrawStream(model, {{bound_, 0, 6}});
    glDisable(GL_BLEND);
    alphaTest_ = false;
    // Everything drawn after the hero relies on decal.
    decal_ = true;
}

void Gles2Renderer::DrawEnemies(const FrameState& s) {
    float model[16];
    for (const ShownEnemy& e : s.enemies) {
        texturing_ = true;
        bound_ = &enemyTexture;
        Place(view_, e.position.x, e.position.y, e.position.z, e.orientation.m, model);
        DrawMesh(enemyMesh, model);
        texturing_ = false;
    }
}

void Gles2Renderer::DrawBombs(const FrameState& s) {
    texturing_ = true;
    bound_ = &bombTexture;
    float at[16], model[16];
    for (const ShownBomb& b : s.bombs) {
        Place(view_, b.at.x, b.at.y, b.at.z, nullptr, at);
        if (b.exploded) {
            for (int k = 0; k < ShownBomb::kFragments; ++k) {
                const Vec3& d = b.fragments[k];
                texturing_ = false;
                Place(at, d.x, d.y, d.z, nullptr, model);
                SetColor(1.0f - b.spread, b.spread, b.blue[k]);
                DrawSphere(model);
            }
        } else {
            texturing_ = true;
            DrawMesh(bombMesh, at);
        }
    }
}

void Gles2Renderer::BeginTextPass() {
    glDepthFunc(GL_ALWAYS);
    glDisable(GL_DEPTH_TEST);
    texturing_ = false;
}

// The text's first glyph starts at the window point where the world point
// under window pixel (x, y) lands, as a raster position would; a point
// outside the view draws nothing. Glyph bitmaps are pixel-aligned quads.
void Gles2Renderer::DrawText(const FrameState& s, const ViewSize& view, int x, int y,
                             const char* text) {
    if (!fontTexture.hasImage || viewportWidth_ <= 0 || viewportHeight_ <= 0) {
        return;
    }
    Vec3 p;
    ScreenToWorld(s.eye, s.center, view, x, y, p);
    // As the fixed function places it: into eye space, then clip space,
    // divided by w and mapped to the viewport, in float and in this order,
    // for the text to start on the same pixel.
    float eye[4], clip[4];
    for (int row = 0; row < 4; ++row) {
        eye[row] = view_[row] * p.x + view_[4 + row] * p.y + view_[8 + row] * p.z + view_[12 + row];
    }
    for (int row = 0; row < 4; ++row) {
        clip[row] = projection_[row] * eye[0] + projection_[4 + row] * eye[1] +
                    projection_[8 + row] * eye[2] + projection_[12 + row] * eye[3];
    }
    const float w = clip[3];
    if (!(w > 0.0f) || std::fabs(clip[0]) > w || std::fabs(clip[1]) > w || std::fabs(clip[2]) > w) {
        return;
    }
    const float vw = static_cast<float>(viewportWidth_);
    const float vh = static_cast<float>(viewportHeight_);
    const float reciprocal = 1.0f / w;
    float penX = clip[0] * reciprocal * (vw * 0.5f) + vw * 0.5f;
    const float penY = clip[1] * reciprocal * (vh * 0.5f) + vh * 0.5f;
    const float aw = static_cast<float>(atlas_.Width());
    const float ah = static_cast<float>(atlas_.Height());
    std::vector<StreamVertex> quads;
    for (const char* c = text; *c != '\0'; ++c) {
        const GlyphAtlas::Glyph& g = atlas_.Of(static_cast<uint8_t>(*c));
        if (g.width > 0 && g.rows > 0) {
            // The bitmap's lower-left pixel, as the fixed function places a bitmap.
            const float x0 = std::floor(penX + 0.0001f + static_cast<float>(g.left));
            const float y0 = std::floor(penY + 0.0001f - static_cast<float>(g.rows - g.top));
            const float x1 = x0 + static_cast<float>(g.width);
            const float y1 = y0 + static_cast<float>(g.rows);
            const float u0 = static_cast<float>(g.atlasX) / aw;
            const float u1 = static_cast<float>(g.atlasX + g.width) / aw;
            const float vTop = static_cast<float>(g.atlasY) / ah;
            const float vBottom = static_cast<float>(g.atlasY + g.rows) / ah;
            const StreamVertex a{x0, y0, 0.0f, u0, vBottom}, b{x1, y0, 0.0f, u1, vBottom},
                cc{x1, y1, 0.0f, u1, vTop}, d{x0, y1, 0.0f, u0, vTop};
            quads.insert(quads.end(), {a, b, d, b, cc, d});
        }
        penX += static_cast<float>(g.advance);
    }
    if (quads.empty()) {
        return;
    }
    // Window pixels: an orthographic view of the viewport.
    float pixels[16] = {};
    pixels[0] = 2.0f / vw;
    pixels[5] = 2.0f / vh;
    pixels[10] = -1.0f;
    pixels[12] = -1.0f;
    pixels[13] = -1.0f;
    pixels[15] = 1.0f;
    float saved[16];
    for (int i = 0; i < 16; ++i) {
        saved[i] = projection_[i];
        projection_[i] = pixels[i];
    }
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const bool wasTexturing = texturing_;
    const bool wasLighting = lighting_;
    texturing_ = true;
    lighting_ = false;
    Stream(quads);
    DrawStream(identity, {{&fontTexture, 0, static_cast<GLsizei>(quads.size())}});
    texturing_ = wasTexturing;
    lighting_ = wasLighting;
    for (int i = 0; i < 16; ++i) {
        projection_[i] = saved[i];
    }
}

// Gles2Renderer carrying out a frame's list of draws with the state changes
// the fixed function would make, so that the two renderers agree.
#include <cmath>
#include <cstdio>
#include <vector>

#include "render/Gles2Renderer.h"

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

// One quad with its corners at texture coordinates (0,0), (1,0), (1,1), (0,1),
// as two triangles split the way the fixed function splits a quad.
template <typename V>
void Quad(std::vector<V>& out, const Vec3* corners) {
    const Vec3 &a = corners[0], &b = corners[1], &c = corners[2], &d = corners[3];
    const V va{a.x, a.y, a.z, 0.0f, 0.0f};
    const V vb{b.x, b.y, b.z, 1.0f, 0.0f};
    const V vc{c.x, c.y, c.z, 1.0f, 1.0f};
    const V vd{d.x, d.y, d.z, 0.0f, 1.0f};
    out.insert(out.end(), {va, vb, vd, vb, vc, vd});
}

// A draw's model matrix from its placement.
void Model(const float* view, const Placement& p, float* out) {
    if (!p.placed) {
        for (int i = 0; i < 16; ++i) {
            out[i] = view[i];
        }
        return;
    }
    if (!p.offset) {
        Place(view, p.at.x, p.at.y, p.at.z, p.orientation ? p.orientation->m : nullptr, out);
        return;
    }
    float at[16];
    Place(view, p.at.x, p.at.y, p.at.z, p.orientation ? p.orientation->m : nullptr, at);
    Place(at, p.by.x, p.by.y, p.by.z, nullptr, out);
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
    Execute(walk_.Walk(s, view));
}

const Gles2Renderer::Texture* Gles2Renderer::TextureOf(Picture picture) const {
    // In the order of Picture.
    const Texture* const textures[] = {&floorTexture,     &wallTexture,   &topTexture,
                                       &landscapeTexture, &shadowTexture, &heroTexture,
                                       &enemyTexture,     &bombTexture,   &splashTexture};
    return textures[static_cast<int>(picture)];
}

// Quads at the view go to the driver together, in runs of one texture, until
// anything else comes; a placed quad (the shadow) goes alone.
void Gles2Renderer::Execute(const std::vector<DrawCommand>& list) {
    using Kind = DrawCommand::Kind;
    std::vector<StreamVertex> quads;
    std::vector<Run> runs;
    const auto flush = [&] {
        if (!runs.empty()) {
            Stream(quads);
            DrawStream(view_, runs);
        }
        quads.clear();
        runs.clear();
    };
    float model[16];
    for (const DrawCommand& c : list) {
        if (c.kind != Kind::Quad && c.kind != Kind::Bind) {
            flush();
        }
        switch (c.kind) {
            case Kind::Texturing:
                texturing_ = c.on;
                break;
            case Kind::Bind:
                bound_ = TextureOf(c.picture);
                break;
            case Kind::Lighting:
                lighting_ = c.on;
                break;
            case Kind::Decal:
                decal_ = c.on;
                break;
            case Kind::Blend:
                if (c.on) {
                    glEnable(GL_BLEND);
                    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                } else {
                    glDisable(GL_BLEND);
                }
                alphaTest_ = c.on;
                break;
            case Kind::Color:
                SetColor(c.color[0], c.color[1], c.color[2], c.color[3]);
                break;
            case Kind::Quad: {
                if (c.placement.placed) {
                    flush();
                }
                const GLint first = static_cast<GLint>(quads.size());
                Quad(quads, c.corners);
                if (!runs.empty() && runs.back().texture == bound_) {
                    runs.back().count += 6;
                } else {
                    runs.push_back({bound_, first, 6});
                }
                if (c.placement.placed) {
                    Model(view_, c.placement, model);
                    Stream(quads);
                    DrawStream(model, runs);
                    quads.clear();
                    runs.clear();
                }
                break;
            }
            case Kind::Mesh:
                Model(view_, c.placement, model);
                DrawMesh(*c.mesh, model, c.part);
                break;
            case Kind::Sphere:
                Model(view_, c.placement, model);
                DrawSphere(model);
                break;
            case Kind::TextPass:
                glDepthFunc(GL_ALWAYS);
                glDisable(GL_DEPTH_TEST);
                texturing_ = false;
                break;
            case Kind::Text:
                DrawText(c.corners[0], c.text);
                break;
            case Kind::DepthTest:
                glDepthFunc(GL_LEQUAL);
                glEnable(GL_DEPTH_TEST);
                break;
        }
    }
    flush();
}

// The text's first glyph starts at the window point where the world point
// under window pixel (x, y) lands, as a raster position would; a point
// outside the view draws nothing. Glyph bitmaps are pixel-aligned quads.
void Gles2Renderer::DrawText(const Vec3& p, const std::string& text) {
    if (!fontTexture.hasImage || viewportWidth_ <= 0 || viewportHeight_ <= 0) {
        return;
    }
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
    for (const char* c = text.c_str(); *c != '\0'; ++c) {
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

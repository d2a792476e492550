#pragma once

#include <GLES2/gl2.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/TextureSet.h"
#include "render/FrameWalk.h"
#include "render/Gles2Program.h"
#include "render/GlyphAtlas.h"
#include "render/Renderer.h"
#include "world/Mesh.h"

// Draws what a tick shows with OpenGL ES 2.0 (WebGL 1 in the browser): the
// same pictures as GlRenderer's fixed function, from shaders, vertex
// buffers and 16-bit indices. The models and spheres go into buffers once;
// the board, the title picture, the shadow and the texts are streamed each
// frame. It keeps the fixed-function state GlRenderer's calls leave behind
// (lighting, texturing, the current colour and normal), so that each thing
// is drawn as the desktop draws it.
class Gles2Renderer : public Renderer {
  public:
    Gles2Renderer();
    ~Gles2Renderer() override;
    Gles2Renderer(const Gles2Renderer&) = delete;
    Gles2Renderer& operator=(const Gles2Renderer&) = delete;

    // Renderer.
    void SetupState(const Vec3& eye, const Vec3& center, const ViewSize& view) override;
    void SetViewport(int width, int height) override;
    void LoadBoardTextures() override;
    void LoadHeroTextures() override;
    void CreateFontLists() override;
    void LoadEnemyTexture() override;
    void LoadSplashTexture() override;
    void LoadBombTexture() override;
    void LoadCamera(const Vec3& eye, const Vec3& center, const ViewSize& view) override;
    void Draw(const FrameState& shown, const ViewSize& view) override;
    void Flush() override;

    // A texture and what the shader needs to know of it.
    struct Texture {
        GLuint name = 0;
        bool hasImage = false;
        bool borderClamp = false;  // OpenGL 1.1's GL_CLAMP, done in the shader
        int width = 0;             // level 0
        int height = 0;
        int levels = 0;
    };
    // Makes a texture as CreateTexture does for the fixed function: the
    // mipmaps GLU would build, the set's filters and wrapping (tests).
    static void Create(Texture& texture, TextureSet set, int width, int height,
                       TextureFormat format, const void* pixels);

    Texture floorTexture, wallTexture, topTexture, landscapeTexture, shadowTexture, heroTexture,
        enemyTexture, bombTexture, splashTexture, fontTexture;

  private:
    struct Buffers {
        GLuint vertices = 0;
        GLuint indices = 0;
        GLsizei count = 0;
    };
    struct StreamVertex {
        float x, y, z, u, v;
    };
    // A run of streamed triangles with one texture.
    struct Run {
        const Texture* texture;
        GLint first;
        GLsizei count;
    };

    bool EnsureStream();
    // The program for a way of texturing and alpha test, or null when it does not build.
    const Gles2Program* Program(int mode, bool borderClamp, bool alphaTest);
    const Buffers& MeshBuffers(const Mesh& mesh);
    // The model's triangles, or, with part, only part's (its indices into
    // the model's vertices), from a buffer filled for this draw.
    void DrawMesh(const Mesh& mesh, const float* model, const Mesh* part = nullptr);
    void DrawSphere(const float* model);
    void Stream(const std::vector<StreamVertex>& vertices);
    void DrawStream(const float* model, const std::vector<Run>& runs);
    // Loads the uniforms of the state the fixed function would draw with now.
    // False when its program does not build.
    bool Apply(const float* model, const Texture* texture);

    const Texture* TextureOf(Picture picture) const;
    void Execute(const std::vector<DrawCommand>& list);
    // The text from the window point world point p lands on.
    void DrawText(const Vec3& p, const std::string& text);
    void SetColor(float r, float g, float b, float a = 1.0f);

    // By texture mode, border clamp and alpha test, each built at its first use.
    Gles2Program programs_[4][2][2];
    bool programFailed_ = false;
    GlyphAtlas atlas_;
    std::vector<std::pair<const Mesh*, Buffers>> meshes_;
    Buffers sphere_;
    float sphereNormal_[3] = {0.0f, 0.0f, 1.0f};
    GLuint stream_ = 0;
    GLuint partIndices_ = 0;
    FrameWalk walk_;

    // The matrices (column-major) and the fixed-function state they replace.
    float projection_[16] = {};
    float view_[16] = {};
    float lightEye_[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    bool lighting_ = false;
    bool texturing_ = false;
    bool decal_ = false;
    bool alphaTest_ = false;
    float color_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float normal_[3] = {0.0f, 0.0f, 1.0f};
    const Texture* bound_ = nullptr;
};

#pragma once

#include <GL/gl.h>

#include <vector>

#include "render/FrameWalk.h"
#include "render/Renderer.h"
#include "world/FrameState.h"
#include "world/Vec3.h"

// Draws what a tick shows with OpenGL 1.1's fixed function: the title
// picture or the board, its actors and the texts. Owns the game's textures
// and reads nothing of the world but the FrameState it is given.
class GlRenderer : public Renderer {
  public:
    // Renderer. A picture that cannot be read leaves its name 0: drawn untextured.
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

    // Parts of it alone, under the matrices loaded now (tests).
    void DrawBoard(const FrameState& s) const;
    void DrawHero(const ShownHero& hero) const;

    GLuint floorTexture = 0;
    GLuint wallTexture = 0;
    GLuint topTexture = 0;
    GLuint landscapeTexture = 0;
    GLuint shadowTexture = 0;
    GLuint heroTexture = 0;
    GLuint enemyTexture = 0;
    GLuint bombTexture = 0;
    GLuint splashTexture = 0;

  private:
    // What each frame draws, walked once for it.
    mutable FrameWalk walk_;

    GLuint TextureOf(Picture picture) const;
    void Execute(const std::vector<DrawCommand>& list) const;
};

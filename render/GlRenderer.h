#pragma once

#include <GL/gl.h>

#include "render/HiddenLandscape.h"
#include "world/FrameState.h"
#include "world/Vec3.h"

// The size of the picture a frame is drawn into.
struct ViewSize {
    int width = 0;
    int height = 0;
    float aspect = 1.0f;
};

// The world point seen at window pixel (x, y) on the plane through center,
// for a camera at eye looking at center (the title picture and the texts).
void ScreenToWorld(const Vec3& eye, const Vec3& center, const ViewSize& view, int x, int y,
                   Vec3& out);

// Draws what a tick shows with OpenGL 1.1's fixed function: the title
// picture or the board, its actors and the texts. Owns the game's textures
// and reads nothing of the world but the FrameState it is given.
class GlRenderer {
  public:
    // Game::Init, in this order with the context current, each after the
    // part of the world it dresses: "wood.bmp", "board.bmp", "top.bmp",
    // "LandScape.bmp" (the first that fails shows its message and ends the
    // loading); then the hero's shadow and skin (a picture that cannot be
    // read leaves its name 0: drawn untextured); the font lists; "Enemy1.bmp";
    // the title picture (silent); "bomb.bmp".
    void LoadBoardTextures();
    void LoadHeroTextures();
    void CreateFontLists();
    void LoadEnemyTexture();
    void LoadSplashTexture();
    void LoadBombTexture();

    // Projection and view for a camera at eye looking at center
    // (Game::SetupCamera and every frame).
    void LoadCamera(const Vec3& eye, const Vec3& center, const ViewSize& view) const;
    // The whole picture of one frame, up to but not including the flush.
    void Draw(const FrameState& shown, const ViewSize& view) const;
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
    // The landscape's triangles of the frame being drawn.
    mutable HiddenLandscape hiddenLandscape_;

    void DrawTitle(const FrameState& s, const ViewSize& view) const;
    void DrawPlaying(const FrameState& s, const ViewSize& view) const;
    void DrawShadow(float x, float y) const;
    void DrawEnemies(const FrameState& s) const;
    void DrawBombs(const FrameState& s) const;
    void BeginTextPass() const;
    void DrawText(const FrameState& s, const ViewSize& view, int x, int y, const char* text) const;
};

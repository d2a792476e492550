#pragma once

#include <memory>

#include "render/ViewSize.h"
#include "world/FrameState.h"
#include "world/Vec3.h"

// Which drawing a game uses.
enum class RendererKind {
    Default,  // the build's own: OpenGL 1.1 on the desktop, OpenGL ES 2.0 in the browser
    Gl11,     // fixed function
    Gles2,    // shaders (OpenGL ES 2.0 / WebGL 1); on Linux, quorvax-replay --renderer gles2
};

// Draws what a tick shows into the current context: the title picture or the
// board, its actors and the texts. Owns the game's textures and reads
// nothing of the world but the FrameState it is given. Game holds one.
class Renderer {
  public:
    virtual ~Renderer() = default;

    // Game's constructor (the build's default) or a program choosing one
    // before Game::Init. Null when this build has no such renderer.
    static std::unique_ptr<Renderer> Make(RendererKind kind);
    // Whether this build can make the kind (command-line checks).
    static bool Available(RendererKind kind);

    // The drawing state every frame relies on (depth test, clear colour, the
    // two lights placed while the camera is loaded): Game::SetupGlState, at
    // start-up and after every size change.
    virtual void SetupState(const Vec3& eye, const Vec3& center, const ViewSize& view) = 0;
    // The window's new size: MainWindow::OnSize, before SetupState.
    virtual void SetViewport(int width, int height) = 0;

    // Game::Init, in this order with the context current, each after the
    // part of the world it dresses: "wood.bmp", "board.bmp", "top.bmp",
    // "LandScape.bmp" (the first that fails shows its message and ends the
    // loading); then the hero's shadow and skin (a picture that cannot be
    // read leaves it untextured); the font; "Enemy1.bmp"; the title picture
    // (silent); "bomb.bmp".
    virtual void LoadBoardTextures() = 0;
    virtual void LoadHeroTextures() = 0;
    virtual void CreateFontLists() = 0;
    virtual void LoadEnemyTexture() = 0;
    virtual void LoadSplashTexture() = 0;
    virtual void LoadBombTexture() = 0;

    // Projection and view for a camera at eye looking at center
    // (Game::SetupCamera and every frame).
    virtual void LoadCamera(const Vec3& eye, const Vec3& center, const ViewSize& view) = 0;
    // The whole picture of one frame, up to but not including the flush
    // (Game::DrawFrame).
    virtual void Draw(const FrameState& shown, const ViewSize& view) = 0;
    // Hands the frame to the driver, before the buffer swap (Game::DrawFrame).
    virtual void Flush() = 0;
};

#pragma once

#include <string>
#include <vector>

#include "render/HiddenLandscape.h"
#include "render/ViewSize.h"
#include "world/FrameState.h"
#include "world/Matrix4.h"
#include "world/Mesh.h"
#include "world/Vec3.h"

// The game's pictures, by what they dress; each renderer keeps its own texture
// for each, in a table in this order.
enum class Picture { Floor, Wall, Top, Landscape, Shadow, Hero, Enemy, Bomb, Splash };

// Where a draw stands: the camera's view moved to `at`, then turned by
// `orientation` (when given), then moved by `offset`, each applied in this
// order as the fixed function's matrix stack applies them.
struct Placement {
    bool placed = false;  // false: at the view itself
    Vec3 at;
    const Matrix4* orientation = nullptr;
    bool offset = false;
    Vec3 by;
};

// One step of a frame: a draw or a change of the state later draws use.
struct DrawCommand {
    enum class Kind {
        Texturing,  // on: texture with the bound picture; off: colour only
        Bind,       // picture
        Lighting,   // on
        Decal,      // on: the texture replaces the colour; off: modulates it
        Blend,      // on: blended by source alpha and alpha-tested
        Color,      // color
        Quad,       // corners, at (0,0), (1,0), (1,1), (0,1) of the texture; placement
        Mesh,       // mesh (with only part's triangles when part is set), placement
        Sphere,     // the bomb fragment's sphere, placement
        TextPass,   // depth test off, texturing off: the texts follow
        Text,       // text from the window point over world point corners[0]
        DepthTest,  // back on with the usual less-or-equal
    };
    Kind kind = Kind::Texturing;
    bool on = false;
    Picture picture = Picture::Floor;
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    Vec3 corners[4];
    const Mesh* mesh = nullptr;
    const Mesh* part = nullptr;
    Placement placement;
    std::string text;
};

// Walks what a tick shows once, in the order the game has always drawn it,
// and lists what to draw and the state changes between; GlRenderer and
// Gles2Renderer only carry the list out. Each renderer holds one.
class FrameWalk {
  public:
    // The renderer's Draw, every frame: the whole picture, after the clear.
    const std::vector<DrawCommand>& Walk(const FrameState& s, const ViewSize& view);
    // Parts of it alone (tests): the board and the landscape; the hero and its shadow.
    const std::vector<DrawCommand>& WalkBoard(const FrameState& s);
    const std::vector<DrawCommand>& WalkHero(const ShownHero& hero);

  private:
    void Title(const FrameState& s, const ViewSize& view);
    void Playing(const FrameState& s, const ViewSize& view);
    void Board(const FrameState& s);
    void Hero(const ShownHero& hero);
    void Enemies(const FrameState& s);
    void Bombs(const FrameState& s);
    void Text(const FrameState& s, const ViewSize& view, int x, int y, std::string text);

    DrawCommand& Add(DrawCommand::Kind kind);
    void Switch(DrawCommand::Kind kind, bool on);
    void Bind(Picture picture);
    void Color(float r, float g, float b, float a = 1.0f);
    void Quad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, const Placement& at = {});

    std::vector<DrawCommand> list_;
    // The landscape's triangles of the frame being walked.
    HiddenLandscape hiddenLandscape_;
    Mesh visible_;
};

#include "render/FrameWalk.h"

#include <cstdio>
#include <string>
#include <utility>

#include "world/Models.h"

namespace {

using Kind = DrawCommand::Kind;

// Picked by the hero's pose: the bobbing also animates the figure.
const Mesh* const kHeroFrames[3] = {&heroFrameA, &heroFrameB, &heroFrameC};

Placement At(const Vec3& at, const Matrix4* orientation = nullptr) {
    Placement p;
    p.placed = true;
    p.at = at;
    p.orientation = orientation;
    return p;
}

}  // namespace

DrawCommand& FrameWalk::Add(Kind kind) {
    list_.emplace_back();
    list_.back().kind = kind;
    return list_.back();
}

void FrameWalk::Switch(Kind kind, bool on) {
    Add(kind).on = on;
}

void FrameWalk::Bind(Picture picture) {
    Add(Kind::Bind).picture = picture;
}

void FrameWalk::Color(float r, float g, float b, float a) {
    DrawCommand& c = Add(Kind::Color);
    c.color[0] = r;
    c.color[1] = g;
    c.color[2] = b;
    c.color[3] = a;
}

void FrameWalk::Quad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d,
                     const Placement& at) {
    DrawCommand& q = Add(Kind::Quad);
    q.corners[0] = a;
    q.corners[1] = b;
    q.corners[2] = c;
    q.corners[3] = d;
    q.placement = at;
}

const std::vector<DrawCommand>& FrameWalk::Walk(const FrameState& s, const ViewSize& view) {
    list_.clear();
    if (s.title) {
        Title(s, view);
    } else {
        Playing(s, view);
    }
    return list_;
}

const std::vector<DrawCommand>& FrameWalk::WalkBoard(const FrameState& s) {
    list_.clear();
    Board(s);
    return list_;
}

const std::vector<DrawCommand>& FrameWalk::WalkHero(const ShownHero& hero) {
    list_.clear();
    Hero(hero);
    return list_;
}

// The title picture over the whole window; after a game, the best scores on it.
void FrameWalk::Title(const FrameState& s, const ViewSize& view) {
    Switch(Kind::Texturing, true);
    Bind(Picture::Splash);
    Vec3 a, b, c, d;
    ScreenToWorld(s.eye, s.center, view, 0, 0, a);
    ScreenToWorld(s.eye, s.center, view, view.width, 0, b);
    ScreenToWorld(s.eye, s.center, view, view.width, view.height, c);
    ScreenToWorld(s.eye, s.center, view, 0, view.height, d);
    Quad(a, b, c, d);
    if (!s.gameOver) {
        return;
    }
    Add(Kind::TextPass);
    const int left = view.width / 2 - 150;
    Color(1.0f, 1.0f, 0.0f);
    Text(s, view, left, 50, "The Best:");
    Color(1.0f, 0.0f, 1.0f);
    char line[1200];
    for (int i = 0; i < 5; ++i) {
        const ShownScore& e = s.scores[i];
        std::snprintf(line, sizeof line, "%d. %s : %d", i + 1, e.name.c_str(), e.score);
        Text(s, view, left, 100 + 50 * i, line);
    }
    Color(1.0f, 1.0f, 0.0f);
    Text(s, view, left, 350, "Press 'SHIFT' to clean the Scores");
    if (!s.worldRank.empty()) {
        Text(s, view, left, 400, s.worldRank);
    }
    // The next frame may be a playing one: its board needs the depth test.
    Add(Kind::DepthTest);
}

void FrameWalk::Playing(const FrameState& s, const ViewSize& view) {
    Board(s);
    if (s.actorsShown) {
        Hero(s.hero);
        Enemies(s);
        Bombs(s);
    }
    Add(Kind::TextPass);
    // The status down the right edge, each in its colour.
    const struct {
        const char* label;
        int value;
        float r, g, b;
    } status[] = {{"Enemies: ", s.enemiesLeft, 0.0f, 1.0f, 0.0f},
                  {"Level: ", s.level, 0.0f, 1.0f, 1.0f},
                  {"Lifes: ", s.lives, 1.0f, 0.0f, 0.0f},
                  {"Scores: ", s.score, 1.0f, 0.0f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
        Color(status[i].r, status[i].g, status[i].b);
        Text(s, view, view.width - 150, 100 + 50 * i,
             status[i].label + std::to_string(status[i].value));
    }
    if (s.banner) {
        Color(0.0f, 1.0f, 1.0f);
        Text(s, view, view.width / 2 - 100, view.height / 4, "Level " + std::to_string(s.level));
    }
    Add(Kind::DepthTest);
}

// Blocks are four sides, each its own quad, with t = 0 at the top edge, then
// the top; no bottom: nothing looks at a block from below. Then the floor,
// then the landscape around the board, less what the board hides.
// llvmpipe's results depend on which quads share a draw (a draw with any
// primitive to clip takes another path), so the board's quads keep their
// order and grouping: culling or sorting them moves pixels at the edges.
void FrameWalk::Board(const FrameState& s) {
    Switch(Kind::Texturing, true);
    for (int r = 0; r < kBoardSize; ++r) {
        for (int c = 0; c < kBoardSize; ++c) {
            const float x0 = static_cast<float>(r - 7), x1 = static_cast<float>(r - 6);
            const float y0 = static_cast<float>(c - 7), y1 = static_cast<float>(c - 6);
            const uint8_t code = s.cells[r * kBoardSize + c];
            if (code == SolidCell) {
                Bind(Picture::Wall);
                Quad({x0, y0, 1}, {x1, y0, 1}, {x1, y0, 0}, {x0, y0, 0});
                Quad({x1, y0, 1}, {x1, y1, 1}, {x1, y1, 0}, {x1, y0, 0});
                Quad({x0, y0, 1}, {x0, y1, 1}, {x0, y1, 0}, {x0, y0, 0});
                Quad({x1, y1, 1}, {x0, y1, 1}, {x0, y1, 0}, {x1, y1, 0});
                Bind(Picture::Top);
                Quad({x0, y0, 1}, {x1, y0, 1}, {x1, y1, 1}, {x0, y1, 1});
            } else if (code == 1 || code == 2) {
                Bind(Picture::Floor);
                Quad({x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0});
            }
        }
    }
    Switch(Kind::Texturing, true);
    Switch(Kind::Lighting, false);
    Bind(Picture::Landscape);
    visible_ = hiddenLandscape_.Visible(landscapeMesh, s.eye, s.cells);
    DrawCommand& m = Add(Kind::Mesh);
    m.mesh = &landscapeMesh;
    m.part = &visible_;
}

void FrameWalk::Hero(const ShownHero& hero) {
    Switch(Kind::Lighting, false);
    Switch(Kind::Texturing, true);
    Bind(Picture::Hero);
    // Decal, unblended: the skin replaces the colour; no picture leaves it untextured.
    DrawCommand& m = Add(Kind::Mesh);
    m.mesh = kHeroFrames[hero.frame];
    m.placement = At(hero.at, &hero.orientation);
    // A square of the shadow picture just above the floor, blended by its
    // alpha; it does not turn with the hero and stays on the floor during a jump.
    Switch(Kind::Blend, true);
    Switch(Kind::Decal, false);
    Switch(Kind::Lighting, false);
    Switch(Kind::Texturing, true);
    Bind(Picture::Shadow);
    Color(0.1f, 0.1f, 0.1f, 0.99f);
    Quad({0.25f, 0.25f, 0.1f}, {0.25f, -0.25f, 0.1f}, {-0.25f, -0.25f, 0.1f}, {-0.25f, 0.25f, 0.1f},
         At({hero.at.x, hero.at.y, 0.0f}));
    Switch(Kind::Blend, false);
    // Everything drawn after the hero relies on decal.
    Switch(Kind::Decal, true);
}

void FrameWalk::Enemies(const FrameState& s) {
    for (const ShownEnemy& e : s.enemies) {
        Switch(Kind::Texturing, true);
        Bind(Picture::Enemy);
        DrawCommand& m = Add(Kind::Mesh);
        m.mesh = &enemyMesh;
        m.placement = At(e.position, &e.orientation);
        Switch(Kind::Texturing, false);
    }
}

void FrameWalk::Bombs(const FrameState& s) {
    Switch(Kind::Texturing, true);
    Bind(Picture::Bomb);
    for (const ShownBomb& b : s.bombs) {
        if (b.exploded) {
            for (int k = 0; k < ShownBomb::kFragments; ++k) {
                Switch(Kind::Texturing, false);
                Color(1.0f - b.spread, b.spread, b.blue[k]);
                Placement p = At(b.at);
                p.offset = true;
                p.by = b.fragments[k];
                Add(Kind::Sphere).placement = p;
            }
        } else {
            Switch(Kind::Texturing, true);
            DrawCommand& m = Add(Kind::Mesh);
            m.mesh = &bombMesh;
            m.placement = At(b.at);
        }
    }
}

// In the colour set before it; from the world point under window pixel (x, y).
void FrameWalk::Text(const FrameState& s, const ViewSize& view, int x, int y, std::string text) {
    DrawCommand& t = Add(Kind::Text);
    ScreenToWorld(s.eye, s.center, view, x, y, t.corners[0]);
    t.text = std::move(text);
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/FrameWalk.h"
#include "world/FrameBlend.h"
#include "world/Models.h"

namespace {

using Kind = DrawCommand::Kind;

const char* const kPictures[] = {"floor", "wall",  "top",  "landscape", "shadow",
                                 "hero",  "enemy", "bomb", "splash"};

// The list in words, one per command, so an expectation reads as the frame's order.
std::string Describe(const std::vector<DrawCommand>& list) {
    std::string out;
    for (const DrawCommand& c : list) {
        if (!out.empty()) {
            out += ' ';
        }
        switch (c.kind) {
            case Kind::Texturing:
                out += c.on ? "tex+" : "tex-";
                break;
            case Kind::Bind:
                out += kPictures[static_cast<int>(c.picture)];
                break;
            case Kind::Lighting:
                out += c.on ? "light+" : "light-";
                break;
            case Kind::Decal:
                out += c.on ? "decal+" : "decal-";
                break;
            case Kind::Blend:
                out += c.on ? "blend+" : "blend-";
                break;
            case Kind::Color:
                out += "colour";
                break;
            case Kind::Quad:
                out += c.placement.placed ? "quad@" : "quad";
                break;
            case Kind::Mesh:
                out += c.part != nullptr ? "part" : "mesh@";
                break;
            case Kind::Sphere:
                out += "sphere@";
                break;
            case Kind::TextPass:
                out += "texts";
                break;
            case Kind::Text:
                out += "'" + c.text + "'";
                break;
            case Kind::DepthTest:
                out += "depth";
                break;
        }
    }
    return out;
}

const ViewSize kView{1280, 720, 1280.0f / 720.0f};

// A playing tick: a block at cell (0, 0), floor at (0, 1), holes elsewhere;
// the hero, one enemy, one whole bomb and one exploded.
FrameState Playing() {
    FrameState s;
    s.title = false;
    s.eye = {0.0f, -8.0f, 12.0f};
    s.center = {0.0f, 0.0f, 0.0f};
    for (uint8_t& cell : s.cells) {
        cell = 9;
    }
    s.cells[0] = SolidCell;
    s.cells[1] = 1;
    s.actorsShown = true;
    SetIdentity(s.hero.orientation);
    s.hero.at = {0.5f, 0.5f, 0.0f};
    s.hero.frame = 2;
    ShownEnemy e;
    e.id = 4;
    SetIdentity(e.orientation);
    e.position = {2.0f, 3.0f, 0.0f};
    s.enemies.push_back(e);
    ShownBomb whole, burst;
    whole.id = 1;
    burst.id = 2;
    burst.exploded = true;
    s.bombs = {whole, burst};
    s.enemiesLeft = 5;
    s.level = 2;
    s.lives = 3;
    s.score = 40;
    return s;
}

std::string Repeat(const std::string& words, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += words;
    }
    return out;
}

const DrawCommand* First(const std::vector<DrawCommand>& list, Kind kind, const Mesh* mesh) {
    for (const DrawCommand& c : list) {
        if (c.kind == kind && c.mesh == mesh) {
            return &c;
        }
    }
    return nullptr;
}

}  // namespace

TEST(FrameWalk, PlayingTickDrawsBoardActorsAndTextsInOrder) {
    FrameWalk walk;
    const std::string expected =
        "tex+ wall quad quad quad quad top quad floor quad tex+ light- landscape part "
        "light- tex+ hero mesh@ blend+ decal- light- tex+ shadow colour quad@ blend- decal+ "
        "tex+ enemy mesh@ tex- "
        "tex+ bomb tex+ mesh@" +
        Repeat(" tex- colour sphere@", ShownBomb::kFragments) +
        " texts colour 'Enemies: 5' colour 'Level: 2' colour 'Lifes: 3' colour 'Scores: 40' depth";
    EXPECT_EQ(Describe(walk.Walk(Playing(), kView)), expected);
}

TEST(FrameWalk, GameOverTitleListsTheBestScoresAndRestoresTheDepthTest) {
    FrameState s;
    s.gameOver = true;
    s.eye = {0.0f, -8.0f, 12.0f};
    s.scores[0] = {"Ann", 120};
    FrameWalk walk;
    const std::vector<DrawCommand>& list = walk.Walk(s, kView);
    const std::string words = Describe(list);
    EXPECT_EQ(words.substr(0, 40), "tex+ splash quad texts colour 'The Best:");
    EXPECT_NE(words.find("'1. Ann : 120' '2.  : 0'"), std::string::npos) << words;
    EXPECT_EQ(list.back().kind, Kind::DepthTest) << words;
}

TEST(FrameWalk, LevelBannerOnlyWhenShown) {
    FrameState s = Playing();
    s.banner = true;
    s.actorsShown = false;
    FrameWalk walk;
    const std::string words = Describe(walk.Walk(s, kView));
    EXPECT_EQ(words.find("hero"), std::string::npos);
    EXPECT_NE(words.find("'Scores: 40' colour 'Level 2' depth"), std::string::npos) << words;
}

TEST(FrameWalk, HalfwayBetweenTwoTicksPlacesActorsHalfway) {
    FrameState before = Playing(), after = Playing();
    after.hero.at = {1.5f, 0.5f, 0.25f};
    after.enemies[0].position = {2.0f, 4.0f, 0.0f};
    FrameWalk walk;
    const std::vector<DrawCommand>& list = walk.Walk(BlendFrames(before, after, 0.5f), kView);
    const DrawCommand* hero = First(list, Kind::Mesh, &heroFrameC);
    const DrawCommand* enemy = First(list, Kind::Mesh, &enemyMesh);
    ASSERT_NE(hero, nullptr);
    ASSERT_NE(enemy, nullptr);
    EXPECT_FLOAT_EQ(hero->placement.at.x, 1.0f);
    EXPECT_FLOAT_EQ(hero->placement.at.z, 0.125f);
    EXPECT_FLOAT_EQ(enemy->placement.at.y, 3.5f);
    // The shadow stays on the floor under the hero.
    for (const DrawCommand& c : list) {
        if (c.kind == Kind::Quad && c.placement.placed) {
            EXPECT_FLOAT_EQ(c.placement.at.x, 1.0f);
            EXPECT_FLOAT_EQ(c.placement.at.z, 0.0f);
        }
    }
}

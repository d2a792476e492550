// Draws the game's models and title picture offscreen into PNG files, so the
// artwork can be looked at without playing.
//   quorvax_preview OUTPUT_DIR [GAME_DIR]
// GAME_DIR (default: the working directory) holds the generated pictures.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image/PngWriter.h"
#include "platform/GlFont.h"
#include "platform/virtual/VirtualSystem.h"
#include "tools/preview/PreviewScene.h"
#include "world/Models.h"

namespace {

constexpr int kSurfaceWidth = 1280;
constexpr int kSurfaceHeight = 720;

// A picture assembled from several renders.
class Sheet {
  public:
    Sheet(int columns, int rows, int cellWidth, int cellHeight)
        : columns_(columns),
          cellW_(cellWidth),
          cellH_(cellHeight),
          pixels_(static_cast<size_t>(columns) * cellWidth * rows * cellHeight * 3) {}

    // Copies the lower-left cell-sized corner of the surface into cell (c, r).
    void Grab(VirtualSystem& sys, int c, int r) {
        std::vector<uint8_t> rgb;
        int w = 0, h = 0;
        if (!sys.ReadPixels(rgb, w, h)) {
            return;
        }
        const size_t sheetRow = static_cast<size_t>(columns_) * cellW_ * 3;
        for (int y = 0; y < cellH_; ++y) {
            const uint8_t* from = &rgb[(static_cast<size_t>(h - cellH_ + y) * w) * 3];
            uint8_t* to = &pixels_[(static_cast<size_t>(r) * cellH_ + y) * sheetRow +
                                   static_cast<size_t>(c) * cellW_ * 3];
            std::memcpy(to, from, static_cast<size_t>(cellW_) * 3);
        }
    }
    bool Write(const std::string& path) const {
        const int rows = static_cast<int>(pixels_.size() /
                                          (static_cast<size_t>(columns_) * cellW_ * cellH_ * 3));
        return WritePng(path, pixels_.data(), columns_ * cellW_, rows * cellH_);
    }

  private:
    int columns_, cellW_, cellH_;
    std::vector<uint8_t> pixels_;
};

constexpr int kCell = 480;

// Three directions for every model: front three-quarter, side, and from
// behind and above as the game's camera sees it.
View ModelView(int which, double distance, double targetZ) {
    const double az[] = {35, 90, 195};
    const double el[] = {18, 4, 42};
    return {az[which], el[which], distance, 0, 0, targetZ};
}

void ModelSheet(VirtualSystem& sys, const PreviewTextures& t, const Mesh* const* frames,
                int frameCount, GLuint texture, double lift, double distance, double targetZ,
                bool shadow, const std::string& path) {
    Sheet sheet(3, frameCount, kCell, kCell);
    for (int f = 0; f < frameCount; ++f) {
        for (int v = 0; v < 3; ++v) {
            BeginView(ModelView(v, distance, targetZ), kCell, kCell);
            DrawFloorPatch(t, 0, 2);
            if (shadow) {
                DrawShadow(t, 0, 0);
            }
            glPushMatrix();
            glTranslated(0, 0, lift);
            DrawTexturedMesh(*frames[f], texture);
            glPopMatrix();
            sheet.Grab(sys, v, f);
        }
    }
    if (!sheet.Write(path)) {
        std::fprintf(stderr, "preview: cannot write %s\n", path.c_str());
    }
}

void SceneSheet(VirtualSystem& sys, const PreviewTextures& t, const std::string& path) {
    const int w = 640, h = 400;
    Sheet sheet(2, 2, w, h);
    // The game's own camera behind the hero at its start, then three overviews.
    const View views[] = {
        {180, 39.8, 7.81, -5.5, -5.5, 0.5, 45},
        {215, 35, 30, 0, 0, 0, 45},
        {200, 12, 40, 0, 0, 4, 60},
        {90, 75, 30, 0, 0, 0, 45},
    };
    for (int k = 0; k < 4; ++k) {
        BeginView(views[k], w, h);
        DrawBoardScene(t);
        const double enemies[][2] = {{0, 0}, {1.5, 0}, {-0.5, 2.5}, {-3.5, -5.5}};
        for (const auto& e : enemies) {
            glPushMatrix();
            glTranslated(e[0], e[1], 0);
            DrawTexturedMesh(enemyMesh, t.enemy);
            glPopMatrix();
        }
        glPushMatrix();
        glTranslated(-4.5, -5.5, 0.5);
        DrawTexturedMesh(bombMesh, t.bomb);
        glPopMatrix();
        glPushMatrix();
        glTranslated(-5.5, -5.5, 0.5);
        DrawTexturedMesh(heroFrameA, t.hero);
        glPopMatrix();
        DrawShadow(t, -5.5, -5.5);
        sheet.Grab(sys, k % 2, k / 2);
    }
    sheet.Write(path);
}

// The title at a window size, with the high-score list where the game writes it.
void TitleShot(VirtualSystem& sys, const PreviewTextures& t, int w, int h, bool fonts,
               const std::string& path) {
    glViewport(0, 0, w, h);
    DrawTitle(t);
    if (fonts) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, w, h, 0, -1, 1);
        glListBase(1000);
        auto text = [](int x, int y, const char* s) {
            glRasterPos2i(x, y);
            glCallLists(static_cast<GLsizei>(std::strlen(s)), GL_UNSIGNED_BYTE, s);
        };
        glColor3f(1, 1, 0);
        text(w / 2 - 150, 50, "The Best:");
        glColor3f(1, 0, 1);
        const char* lines[] = {"1. SuperHero : 1230", "2. Quorvax : 915", "3. Anna : 600",
                               "4. Bomber : 345", "5. SuperHero : 15"};
        for (int i = 0; i < 5; ++i) {
            text(w / 2 - 150, 100 + 50 * i, lines[i]);
        }
        glColor3f(1, 1, 0);
        text(w / 2 - 150, 350, "Press 'SHIFT' to clean the Scores");
    }
    Sheet sheet(1, 1, w, h);
    sheet.Grab(sys, 0, 0);
    sheet.Write(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: quorvax_preview OUTPUT_DIR [GAME_DIR]\n");
        return 2;
    }
    std::string out = argv[1];
    if (out[0] != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd) != nullptr) {
            out = std::string(cwd) + "/" + out;
        }
    }
    if (argc == 3 && chdir(argv[2]) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    VirtualSystem sys;
    SetSys(&sys);
    if (!sys.MakeStandaloneGlContext(kSurfaceWidth, kSurfaceHeight)) {
        std::fprintf(stderr, "preview: no offscreen OpenGL context\n");
        return 1;
    }
    PreviewTextures t;
    std::string missing;
    if (!LoadPreviewTextures(t, &missing)) {
        std::fprintf(stderr, "preview: cannot read %s\n", missing.c_str());
        return 1;
    }
    const Mesh* bomb[] = {&bombMesh};
    const Mesh* enemy[] = {&enemyMesh};
    const Mesh* hero[] = {&heroFrameA, &heroFrameB, &heroFrameC};
    ModelSheet(sys, t, bomb, 1, t.bomb, 0.5, 1.3, 0.5, false, out + "/bomb.png");
    ModelSheet(sys, t, enemy, 1, t.enemy, 0, 1.9, 0.2, false, out + "/enemy.png");
    ModelSheet(sys, t, hero, 3, t.hero, 0.5, 3.4, 0.55, true, out + "/hero.png");
    SceneSheet(sys, t, out + "/board.png");
    const bool fonts = BuildGlFontLists("Arial", 30, 700, 1000);
    TitleShot(sys, t, 1280, 720, fonts, out + "/title-1280x720.png");
    TitleShot(sys, t, 800, 600, fonts, out + "/title-800x600.png");
    SetSys(nullptr);
    return 0;
}

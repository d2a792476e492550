#include "game/Game.h"

#include <utility>

#include "platform/Platform.h"
#include "world/FrameBlend.h"

Game::Game() : renderer(Renderer::Make(RendererKind::Default)) {
    gameOver = 0;
    center = Vec3{0.0f, 0.0f, 0.0f};
    waitingForStart = 1;
    eye = Vec3{15.0f, 15.0f, 15.0f};
    up = Vec3{0.0f, 0.0f, 1.0f};
}

Game::~Game() {
    ShowCursor(true);
    if (saveScores) {
        SaveScores();
    }
}

// The world's parts and the pictures that dress them come in turns, so
// that a damaged file's message comes at its usual point of start-up.
bool Game::Init() {
    levelBannerFrames = 0;
    levelBannerOn = 1;
    LoadScores();
    score = 0;
    lives = 3;
    if (drawing) {
        SetupGlState();
    }
    InitBoard();
    if (drawing) {
        renderer->LoadBoardTextures();
    }
    InitHero();
    if (drawing) {
        renderer->LoadHeroTextures();
        renderer->CreateFontLists();
    }
    music.Create();
    music.Start();
    if (drawing) {
        renderer->LoadEnemyTexture();
    }
    InitEnemies();
    if (drawing) {
        renderer->LoadSplashTexture();
    }
    ShowCursor(false);
    if (drawing) {
        renderer->LoadBombTexture();
    }
    return true;
}

void Game::Tick() {
    const uint64_t before = ticks_;
    FrameState next;
    World::Tick(next);
    if (ticks_ != before) {
        // The name dialog of a finished game ran ticks of its own inside
        // this one: their high-score screen stays the newest picture, not
        // the board as it was before the game ended.
        return;
    }
    if (next.title && next.gameOver) {
        for (int i = 0; i < ScoreTable::kEntries && i < 5; ++i) {
            next.scores[i] = ShownScore{highScores.entries[i].name, highScores.entries[i].score};
        }
        if (worldRank) {
            next.worldRank = worldRank();
        }
    }
    shown_[0] = std::move(shown_[1]);
    shown_[1] = std::move(next);
    ++ticks_;
}

void Game::DrawFrame(float fraction) {
    if (!drawing || ticks_ == 0) {
        return;
    }
    const float f = fraction < 1.0f ? fraction : 1.0f;
    drawn_ = BlendFrames(shown_[0], shown_[1], f);
    drawnTick_ = ticks_;
    drawnFraction_ = f;
    renderer->Draw(drawn_, View());
    renderer->Flush();
    if (beforeSwap) {
        const std::function<void()> hook = std::move(beforeSwap);
        beforeSwap = nullptr;
        hook();
    }
    Sys().SwapBuffers();
}

bool Game::FrameWouldChange(float fraction) const {
    const float f = fraction < 1.0f ? fraction : 1.0f;
    if (ticks_ == 0 || beforeSwap) {
        return ticks_ != 0;
    }
    if (drawnTick_ != ticks_) {
        return true;
    }
    // The title pictures stand still between ticks.
    return !shown_[1].title && f != drawnFraction_;
}

void Game::SetupCamera() {
    UpdateCamera();
    if (drawing) {
        renderer->LoadCamera(eye, center, View());
    }
}

void Game::ScreenToWorld(int x, int y, Vec3& out) const {
    ::ScreenToWorld(eye, center, View(), x, y, out);
}

void Game::SetViewSize(int width, int height) {
    viewWidth = width;
    viewHeight = height;
    // A zero height (minimised) divides as floating point; the next size change mends it.
    aspect = static_cast<float>(static_cast<double>(width) / static_cast<double>(height));
}

bool Game::SetupGlState() {
    UpdateCamera();
    if (renderer) {
        renderer->SetupState(eye, center, View());
    }
    return true;
}

void Game::ReleaseGraphics() {
    renderer.reset();
    drawing = false;
}

void Game::Pause(uint32_t ms) {
    Sleep(ms);
}

#include "game/Game.h"

#include <GL/gl.h>

#include <cstdio>

#include "app/Keyboard.h"
#include "platform/Platform.h"
#include "render/FontLists.h"

Game::Game() {
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

bool Game::Init() {
    levelBannerFrames = 0;
    levelBannerOn = 1;
    LoadScores();
    score = 0;
    lives = 3;
    SetupGlState();
    board.Init();
    hero.board = &board;
    hero.Init();
    CreateFontLists();
    glListBase(kFontListBase);
    music.Create();
    music.Start();
    enemies.board = &board;
    enemies.hero = &hero;
    enemies.game = this;
    enemies.Init();
    LoadSplashTexture();
    ShowCursor(false);
    bombs.LoadTexture();
    bombs.game = this;
    return true;
}

void Game::Frame() {
    AdvanceBombCooldown();
    SetupCamera();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (waitingForStart) {
        DrawTitleScreen();
    } else {
        DrawPlayingScreen();
    }
    glFlush();
    if (beforeSwap) {
        const std::function<void()> hook = std::move(beforeSwap);
        beforeSwap = nullptr;
        hook();
    }
    Sys().SwapBuffers();
}

void Game::DrawTitleScreen() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, splashTexture);
    Vec3 a, b, c, d;
    ScreenToWorld(0, 0, a);
    ScreenToWorld(viewWidth, 0, b);
    ScreenToWorld(viewWidth, viewHeight, c);
    ScreenToWorld(0, viewHeight, d);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(a.x, a.y, a.z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(b.x, b.y, b.z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(c.x, c.y, c.z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(d.x, d.y, d.z);
    glEnd();
    if (!gameOver) {
        return;
    }
    BeginTextPass();
    const int left = viewWidth / 2 - 150;
    glColor3f(1.0f, 1.0f, 0.0f);
    DrawText(left, 50, "The Best:");
    glColor3f(1.0f, 0.0f, 1.0f);
    char line[1200];
    for (int i = 0; i < ScoreTable::kEntries; ++i) {
        const ScoreEntry& e = highScores.entries[i];
        std::snprintf(line, sizeof line, "%d. %s : %d", i + 1, e.name.c_str(), e.score);
        DrawText(left, 100 + 50 * i, line);
    }
    glColor3f(1.0f, 1.0f, 0.0f);
    DrawText(left, 350, "Press 'SHIFT' to clean the Scores");
}

void Game::DrawPlayingScreen() {
    board.Draw();
    if (!gameOver) {
        hero.Draw();
        enemies.Draw();
        bombs.Update();
    }
    BeginTextPass();
    char text[64];
    const int right = viewWidth - 150;
    std::snprintf(text, sizeof text, "Enemies: %d", enemies.enemies.count);
    glColor3f(0.0f, 1.0f, 0.0f);
    DrawText(right, 100, text);
    std::snprintf(text, sizeof text, "Level: %d", board.level + 1);
    glColor3f(0.0f, 1.0f, 1.0f);
    DrawText(right, 150, text);
    std::snprintf(text, sizeof text, "Lifes: %d", lives);
    glColor3f(1.0f, 0.0f, 0.0f);
    DrawText(right, 200, text);
    std::snprintf(text, sizeof text, "Scores: %d", score);
    glColor3f(1.0f, 0.0f, 1.0f);
    DrawText(right, 250, text);
    if (levelBannerOn) {
        ++levelBannerFrames;
        if (levelBannerFrames > 100) {
            levelBannerOn = 0;
        }
        std::snprintf(text, sizeof text, "Level %d", board.level + 1);
        glColor3f(0.0f, 1.0f, 1.0f);
        DrawText(viewWidth / 2 - 100, viewHeight / 4, text);
    } else {
        levelBannerFrames = 0;
    }
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
}

void Game::BeginTextPass() {
    glListBase(kFontListBase);
    glDepthFunc(GL_ALWAYS);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
}

// The colour is set by the caller before, so the raster colour takes it.
void Game::DrawText(int x, int y, const char* text) {
    Vec3 p;
    ScreenToWorld(x, y, p);
    glRasterPos3f(p.x, p.y, p.z);
    int length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    glCallLists(length, GL_UNSIGNED_BYTE, text);
}

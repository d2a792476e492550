#pragma once

#include <GL/gl.h>

#include <functional>

#include "audio/MusicPlayer.h"
#include "scores/ScoreTable.h"
#include "world/Board.h"
#include "world/BombGroup.h"
#include "world/EnemyGroup.h"
#include "world/Hero.h"
#include "world/Vec3.h"

// The one game object, held by value in the main window: it owns the
// world's parts, keeps the counters and the two screen flags, and draws one
// frame per tick.
class Game {
  public:
    // Members and initial values only: no OpenGL, no files.
    Game();
    // Shows the cursor, saves the scores; the OpenGL context is already gone.
    virtual ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Start-up, once from MainWindow::OnInitDialog after the context exists.
    bool Init();
    // One frame, once per tick from MainWindow::OnTimer after the key actions.
    void Frame();

    // Render state (render/): MainWindow::OnSize and Game::Init.
    void SetViewSize(int width, int height);
    bool SetupGlState();
    void CreateFontLists();

    // Camera (game/Camera.cpp): every frame and from SetupGlState.
    void SetupCamera();
    // The world point seen at window pixel (x, y) on the plane through the target.
    void ScreenToWorld(int x, int y, Vec3& out) const;

    // Key actions (app/Keyboard.cpp), run by the tick while their key is held.
    void StepForward();
    void StepBack();
    void TurnRight();
    void TurnLeft();
    void DropBomb();
    void Jump();

    // High scores (scores/).
    void LoadScores();
    void SaveScores();
    void ClearScores();
    void InsertScore();

    // The title picture (image/), once from Init.
    void LoadSplashTexture();
    // Effects 1 bomb, 2 death, 3 game over (audio/); returns at once.
    int PlaySound(int kind);

    // Rules (world/Rules.cpp), from the contact and blast tests.
    void LoseLife();
    void ClearLevel();

    Vec3 up{0.0f, 0.0f, 1.0f};
    Vec3 eye{15.0f, 15.0f, 15.0f};
    Vec3 center{0.0f, 0.0f, 0.0f};
    float aspect = 1.0f;
    int viewWidth = 0;
    int viewHeight = 0;
    Board board;
    Hero hero;
    EnemyGroup enemies;
    MusicPlayer music;
    int lives = 3;
    int gameOver = 0;
    int score = 0;
    ScoreTable highScores;
    GLuint splashTexture = 0;
    int waitingForStart = 1;
    BombGroup bombs;
    int levelBannerOn = 1;
    int levelBannerFrames = 0;
    // Cleared while a recorded game is played back: ~Game leaves "scores.dat" alone.
    bool saveScores = true;
    // Runs once between the drawing of the next frame and its buffer swap,
    // then is cleared: F12 reads the finished picture there.
    std::function<void()> beforeSwap;

  private:
    void DrawTitleScreen();
    void DrawPlayingScreen();
    void BeginTextPass();
    void DrawText(int x, int y, const char* text);
};

#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "audio/MusicPlayer.h"
#include "render/Renderer.h"
#include "scores/ScoreTable.h"
#include "world/FrameState.h"
#include "world/World.h"

// The one game object, held by value in the main window: the world with
// its rules, and around it what the world does not know: the music, the
// high scores, the sounds, the view and the drawing of the ticks' frames.
class Game : public World {
  public:
    // Members and initial values only: no OpenGL, no files.
    Game();
    // Shows the cursor, saves the scores; the OpenGL context is already gone.
    ~Game() override;

    // Start-up, once from MainWindow::OnInitDialog after the context exists
    // (or with drawing off, without one).
    bool Init();
    // One tick, once per timer call from MainWindow::OnTimer after the key
    // actions: the world moves and what it shows becomes the newest frame.
    void Tick();
    // Draws a frame and shows it: the newest tick's picture at fraction 1,
    // between the two newest ticks below. Nothing without drawing.
    void DrawFrame(float fraction);
    // Whether a frame at this fraction would differ from the last one drawn
    // (MainWindow::OnFrame skips those that would not).
    bool FrameWouldChange(float fraction) const;

    // Render state (render/): MainWindow::OnSize and Game::Init.
    void SetViewSize(int width, int height);
    bool SetupGlState();
    // Camera: the world's camera from the hero now, loaded into OpenGL.
    void SetupCamera();
    // The world point seen at window pixel (x, y) on the plane through the target.
    void ScreenToWorld(int x, int y, Vec3& out) const;

    // High scores (scores/).
    void LoadScores();
    void SaveScores();
    void ClearScores();
    void InsertScore() override;

    // Effects 1 bomb, 2 death, 3 game over (audio/); returns at once.
    int PlaySound(int kind) override;
    // The pause after a lost life: the whole program waits.
    void Pause(uint32_t ms) override;

    // The newest tick's frame and the one before it; the last frame drawn.
    const FrameState& Shown() const { return shown_[1]; }
    const FrameState& ShownBefore() const { return shown_[0]; }
    const FrameState& Drawn() const { return drawn_; }

    float aspect = 1.0f;
    int viewWidth = 0;
    int viewHeight = 0;
    MusicPlayer music;
    ScoreTable highScores;
    // The build's default drawing; a program may put another in its place
    // before Init (quorvax-replay --renderer).
    std::unique_ptr<Renderer> renderer;
    // Off for a game without any picture (quorvax-replay --headless): no
    // context, no textures, no frames.
    bool drawing = true;
    // MainWindow::OnDestroy, while its context is still current: the
    // renderer and its textures and buffers go, and no frame is drawn after
    // (WebGL throws on a call without its context).
    void ReleaseGraphics();
    // Cleared while a recorded game is played back: ~Game leaves "scores.dat" alone.
    bool saveScores = true;
    // The high-score screen's line about the world's table; unset without a leaderboard.
    std::function<std::string()> worldRank;
    // Set before Init by a playback whose recording carries the table it
    // started from: LoadScores takes it instead of "scores.dat".
    std::vector<ScoreEntry> startTable;
    // Runs once between the drawing of the next frame and its buffer swap,
    // then is cleared: F12 reads the finished picture there.
    std::function<void()> beforeSwap;

  private:
    ViewSize View() const { return ViewSize{viewWidth, viewHeight, aspect}; }

    FrameState shown_[2];
    FrameState drawn_;
    uint64_t ticks_ = 0;
    // The tick whose picture was drawn last, and at which fraction.
    uint64_t drawnTick_ = 0;
    float drawnFraction_ = 0.0f;
};

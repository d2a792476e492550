#pragma once

#include <cstdint>
#include <functional>

#include "app/ScreenshotWriter.h"
#include "app/TickFeed.h"
#include "game/Game.h"
#include "platform/Dialog.h"

class SettingsStore;

// The one main window: a borderless dialog over the whole desktop that
// hosts the OpenGL view and owns the game. Its 40 ms timer is the game's tick.
class MainWindow : public Dialog {
  public:
    static constexpr unsigned kFrameTimerId = 17682;
    static constexpr unsigned kFramePeriodMs = 40;

    MainWindow();
    ~MainWindow() override;

    // Window set-up, context, Game::Init, the frame timer.
    bool OnInitDialog() override;
    // One tick: the held keys' actions (unless the game is over), the
    // world's tick, and in the classic frame rate its picture.
    void OnTimer(unsigned id) override;
    // A frame between ticks: the last two ticks blended by how much of the
    // tick has passed on the wall clock.
    bool OnFrame() override;
    // Viewport, view size and the whole render state again.
    void OnSize(int cx, int cy) override;
    // Timer killed, context released, screenshots written; the game is
    // destroyed afterwards.
    void OnDestroy() override;
    // Enter does nothing.
    void OnOK() override {}
    // Key bits, SPACE and SHIFT on the title screens, F1 for the About box,
    // Alt+Enter between the borderless and the decorated window, F12 for a
    // screenshot.
    bool PreTranslateMessage(const Message& msg) override;
    // The About command opens the About box modally, the Settings command
    // (F2) the Settings dialog; the game keeps ticking behind either.
    bool OnSysCommand(unsigned id) override;

    // Context on this window (render/GlContext.cpp); false after its message.
    bool CreateGlContext();
    void ReleaseGlContext();

    // Ticks run so far: calls of the frame timer, however late they came.
    // Recordings and the replay tool count time in these.
    uint64_t Ticks() const { return ticks_; }
    // Playback: input from a recording before every tick; null for none.
    void SetTickFeed(TickFeed* feed) { feed_ = feed; }

    // Before DoModal: one frame per tick (kFramePerTick, the classic way and
    // the default), frames as often as the display shows them (0), or at
    // most n a second.
    static constexpr int kFramePerTick = -1;
    void SetFrameRate(int perSecond) { frameRate_ = perSecond; }
    // Before DoModal: the player's settings, for F2 and M; null (tests, the
    // replay tool) leaves both out. Start windowed instead of borderless.
    void SetSettings(SettingsStore* store) { settings_ = store; }
    void SetStartWindowed(bool windowed) { borderless_ = !windowed; }

    Game game;
    // After the tick in which a game ended (its last life lost), with that
    // tick; a name dialog that the end opened has closed by then.
    std::function<void(uint64_t tick)> onGameEnd;
    // As SPACE begins a game (not as it goes on after a lost life or a level).
    std::function<void()> onGameStart;

  private:
    uint64_t ticks_ = 0;
    bool gameUnderWay_ = false;  // from a game's first SPACE to its last life
    TickFeed* feed_ = nullptr;
    unsigned timerId_ = 0;
    bool borderless_ = true;
    int frameRate_ = kFramePerTick;
    uint64_t lastTickMicros_ = 0;
    ScreenshotWriter screenshots_;
    SettingsStore* settings_ = nullptr;

    // F2: the held keys are let go through the input (so a recording holds
    // their release), then the Settings dialog runs.
    void OpenSettings();
    // M: sound off or on again, saved with the settings.
    void ToggleMute();
};

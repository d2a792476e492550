#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/LoopClock.h"
#include "platform/System.h"
#include "platform/TimerQueue.h"
#include "platform/linux/SdlKeyMap.h"

struct SDL_Window;
union SDL_Event;
class DialogPainter;
class FontRaster;
class SdlGamepads;
struct Message;

// The desktop loop's clock in the game: SDL's performance counter and the
// thread's own sleep. It has no display frame to wait for.
class SdlWallClock final : public LoopClock {
  public:
    // SdlSystem::Init: the clock starts at zero.
    void Start();
    uint64_t NowUs() override;
    void SleepUs(uint64_t us) override;
    void Yield() override;
    bool NextFrame() override;

  private:
    uint64_t start_ = 0;
    uint64_t frequency_ = 1;
};

// The real platform: SDL2 windows, one event loop on the calling thread,
// window timers on the monotonic clock in microseconds, an OpenGL context on
// the main window, message boxes, the mouse cursor, and game controllers
// that stand in for the keyboard.
class SdlSystem : public System {
  public:
    SdlSystem();
    ~SdlSystem() override;
    SdlSystem(const SdlSystem&) = delete;
    SdlSystem& operator=(const SdlSystem&) = delete;

    // Starts SDL's video and event subsystems; main() calls it once before
    // anything else. False, with the reason in LastError, when it cannot,
    // and when no display can be opened: unless SDL_VIDEODRIVER names one,
    // SDL's drivers without a screen are not taken.
    bool Init();
    const std::string& LastError() const { return lastError_; }

    uint32_t GetTickCount() override;
    uint64_t NowMicros() override { return NowUs(); }
    void Sleep(uint32_t ms) override;
    void MessageBox(const char* text, const char* caption) override;
    void ShowCursor(bool show) override;

    int RunModal(Dialog& dlg) override;
    void CreateModeless(Dialog& dlg) override;
    void SetTimer(Dialog& dlg, unsigned id, unsigned periodMs) override;
    void KillTimer(Dialog& dlg, unsigned id) override;

    Rect DesktopRect() override;
    void MoveWindow(Dialog& dlg, const Rect& r) override;
    void SetWindowMode(Dialog& dlg, bool fullscreenBorderless) override;
    void SetWindowIcon(Dialog& dlg, const uint8_t* rgba, int width, int height) override;

    // Vsync while frames come between ticks (where the driver gives it).
    void SetFrameSource(Dialog* dlg, int perSecond, unsigned tickMs) override;
    GlContextResult CreateGlContext(Dialog& dlg) override;
    void ReleaseGlContext() override;
    void SwapBuffers() override;

    std::string ProgramName() override;
    void SetPadBindings(const PadBindings& bindings) override;
    std::string KeyName(int physical) override { return KeyNameFromSdl(physical); }
    // Key messages go to the innermost modal dialog.
    void DeliverInput(const Message& msg) override;

    // The loops' tests: the clock, sleeps and waits of the loop, set before
    // any timer; null for the wall clock again.
    void SetLoopClock(LoopClock* clock) { clock_ = clock != nullptr ? clock : &wallClock_; }

    // What RunModal returns for a dialog whose window cannot be made.
    static constexpr int kNoWindow = -2;

  protected:
    int DisplayRefreshRate() override;

  private:
    struct Window {
        SDL_Window* sdl = nullptr;
        bool hasGl = false;  // made with an OpenGL surface
        int width = -1;      // client size last given to OnSize
        int height = -1;
        bool coverDisplay = false;  // the main window in its borderless mode
    };

    // Microseconds on the loop's clock (the monotonic one since Init).
    uint64_t NowUs() const { return clock_->NowUs(); }
    void OpenWindow(Dialog& dlg);
    Rect OwnerRect();
    void CentreFrame(SDL_Window* window);
    // A signal or the window manager's quit is ending the program.
    bool Quitting() const;
    void ShowWindow(Dialog& dlg);
    void CloseWindow(Dialog& dlg) override;
    Window* Find(const Dialog& dlg);
    Dialog* DialogOf(uint32_t windowId);
    bool IsDisabled(const Dialog& dlg) const;
    void DeliverSize(Dialog& dlg, Window& w, int cx, int cy, bool always);
    // Makes the borderless main window cover display 0 wherever a window
    // manager put it.
    void KeepOverDisplay(Dialog& dlg, Window& w);
    // Hides the cursor while the counter is below zero and the pointer is
    // over the main window; shows it anywhere else.
    void UpdateCursor();

    // One pass of the modal loop of `modal`: events, due timers, painting,
    // then a wait for the next event or timer.
    void Pump(Dialog& modal);
    void FireDueTimer();
    void HandleEvent(const SDL_Event& event);
    void HandleWindowEvent(const SDL_Event& event);
    void HandleInput(const SDL_Event& event);
    void HandleClick(const SDL_Event& event);
    static bool IsMessageBox(const Dialog& dlg);
    // Pump: sleeps until the next timer is due or input comes.
    void WaitForNext();
    void PaintDirty();
    void Paint(Dialog& dlg, Window& w);
    // The dialog font and painter, made when the first dialog window opens.
    DialogPainter& Painter();

    bool initialised_ = false;
    bool controllersInitialised_ = false;
    std::string lastError_;
    SdlWallClock wallClock_;
    LoopClock* clock_ = &wallClock_;

    TimerQueue timers_;
    std::map<Dialog*, std::unique_ptr<Window>> windows_;

    SDL_Window* mainWindow_ = nullptr;
    void* glContext_ = nullptr;  // SDL_GLContext
    int cursorCounter_ = 0;

    std::vector<uint8_t> icon_;
    int iconWidth_ = 0;
    int iconHeight_ = 0;
    std::unique_ptr<FontRaster> dialogFont_;
    std::unique_ptr<DialogPainter> painter_;
    std::unique_ptr<SdlGamepads> gamepads_;
    PadBindings padBindings_ = PadBindings::Defaults();
};

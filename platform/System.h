#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FramePacer.h"
#include "platform/InputBindings.h"
#include "platform/InputTap.h"
#include "platform/Rect.h"

class Dialog;
struct Message;

enum class GlContextResult { Ok, NoPixelFormat, CannotMakeCurrent };

// The services the game takes from its platform: clock, windows and their
// modal loops, timers, message boxes, the cursor and the OpenGL surface.
// SdlSystem (Linux) and Win32System (Windows) run the real game;
// VirtualSystem runs it at virtual time for tests and replays.
class System {
  public:
    virtual ~System() = default;

    // Milliseconds since an arbitrary start; wraps at 2^32.
    virtual uint32_t GetTickCount() = 0;
    // Microseconds on a steady clock since an arbitrary start; only for
    // how far between two ticks a frame is drawn.
    virtual uint64_t NowMicros() { return uint64_t{GetTickCount()} * 1000u; }
    // Blocks the user-interface thread; timers that fall due meanwhile fire once afterwards.
    virtual void Sleep(uint32_t ms) = 0;
    // Modal message box with an OK button.
    virtual void MessageBox(const char* text, const char* caption) = 0;
    // Display counter of the mouse cursor, as the classic call keeps it.
    virtual void ShowCursor(bool show) = 0;

    // Creates the dialog's window, runs OnInitDialog and the modal loop until
    // EndDialog, then OnDestroy. Returns the end code.
    virtual int RunModal(Dialog& dlg) = 0;
    // Creates the dialog's window without a loop of its own (runs OnInitDialog).
    virtual void CreateModeless(Dialog& dlg) = 0;
    // Dialog::DestroyWindow and a dialog's destructor: destroys the window
    // (CloseWindow: timers killed, OnDestroy run). A dialog whose modal loop
    // runs is ended with IDCANCEL instead; its loop closes it.
    void DestroyWindow(Dialog& dlg);
    virtual void SetTimer(Dialog& dlg, unsigned id, unsigned periodMs) = 0;
    virtual void KillTimer(Dialog& dlg, unsigned id) = 0;

    // Bounds of display 0.
    virtual Rect DesktopRect() = 0;
    // Moves and sizes the window; delivers OnSize with the new client size.
    virtual void MoveWindow(Dialog& dlg, const Rect& r) = 0;
    // Alt+Enter: the borderless window over display 0 (true) or a decorated,
    // resizable one at WindowedRect; delivers OnSize like any other resize.
    virtual void SetWindowMode(Dialog& dlg, bool fullscreenBorderless) = 0;
    // Window icon from 32-bit RGBA pixels, row 0 at the top.
    virtual void SetWindowIcon(Dialog& dlg, const uint8_t* rgba, int width, int height) = 0;
    // OnInitDialog: a separator and a command item at the end of the
    // window's system menu, which sends it to OnSysCommand. Systems without
    // a system menu ignore it.
    virtual void AppendSystemMenuItem(Dialog& /*dlg*/, unsigned /*id*/, const char* /*text*/) {}

    // OpenGL context on the window of a dialog whose template hosts GL.
    virtual GlContextResult CreateGlContext(Dialog& dlg) = 0;
    virtual void ReleaseGlContext() = 0;
    virtual void SwapBuffers() = 0;

    // Frames between ticks: the modal loops call dlg's OnFrame whenever a
    // frame is due and no timer is, at most perSecond times a second (0:
    // as often as the display shows frames, with vsync where the driver
    // gives it), ticks tickMs apart. Null (the default) for no frames: the
    // main window then draws in its ticks. Called with the context current.
    virtual void SetFrameSource(Dialog* dlg, int perSecond, unsigned tickMs);
    // The frame source's tick has just run (MainWindow::OnTimer).
    void TickRan() { pacer_.TickRan(NowMicros()); }

    // A physical key's name in the player's own keyboard layout, for the
    // Settings dialog; Windows-1252 bytes as the dialogs' texts.
    virtual std::string KeyName(int physical);

    // Name of the program file, the caption of the framework's own messages.
    virtual std::string ProgramName() = 0;

    // False where the build has no threads (the page): work that would go to
    // a worker thread (F12's PNG) is done on the calling one.
    virtual bool HasThreads() const { return true; }
    // ScreenshotWriter: a picture the player asked for is written as `name`
    // in the working directory; the page hands it over as a download.
    virtual void FileSaved(const std::string& /*name*/) {}

    // Hands a message to the innermost modal dialog, through the input tap,
    // as if it came from the keyboard (the playback of a recorded game).
    virtual void DeliverInput(const Message& /*msg*/) {}
    // Recording and playback watch all input here; null for none.
    void SetInputTap(InputTap* tap) { tap_ = tap; }
    // The player's keys for the game's actions; null (the default) keeps
    // the classic keys. The caller keeps them alive while set.
    void SetKeyBindings(const KeyBindings* bindings) { bindings_ = bindings; }
    // The player's pad buttons and dead zone, for the backends' controllers.
    virtual void SetPadBindings(const PadBindings& /*bindings*/) {}

  protected:
    // Backends' loops, when no timer is due: draws the frame source's frame
    // if one is due and, between ticks, done before nextTimer (the loop's
    // next timer, where it knows it). True when it drew.
    bool DrawDueFrame(uint64_t nextTimer = UINT64_MAX);
    // When the loop should look again for a frame; UINT64_MAX without one.
    uint64_t NextFrameMicros(uint64_t nextTimer = UINT64_MAX);
    // The display's refresh rate for SetFrameSource's 0; 0 where unknown.
    virtual int DisplayRefreshRate() { return 0; }
    Dialog* frameSource_ = nullptr;

    // Backends pass every input message through this first, except the input
    // of a message box (see InputTap); false drops it.
    bool TapInput(const Message& msg) { return tap_ == nullptr || tap_->OnInput(msg); }
    // Backends, for a key from the keyboard to `target` (the innermost
    // modal dialog), before the tap: in the game's
    // own window a key bound to an action becomes that action's classic key,
    // and a classic key that is bound to nothing now stops being one;
    // dialogs keep every key's own meaning. A dialog waiting for a key to
    // bind gets the key as it is. False drops the message (a key with no
    // virtual-key code that nobody binds or waits for).
    bool ApplyKeyBindings(Message& msg, const Dialog* target) const;
    // Backends, on a click on OK or Cancel, a close box or Alt+F4: the press
    // and release of the key that does the same (Enter, Escape) through
    // DeliverInput, so that a recording holds it and a playback holds it back.
    void DeliverKeyPress(int key);

    // The dialog stack, one for every backend. RunModal pushes its dialog
    // before the loop and pops it after; input goes to the innermost.
    void PushModal(Dialog& dlg) { modalStack_.push_back(&dlg); }
    void PopModal(Dialog& dlg);
    // Null when no modal loop runs.
    Dialog* InnermostModal() const { return modalStack_.empty() ? nullptr : modalStack_.back(); }
    bool InModalLoop(const Dialog& dlg) const;
    // The window manager's quit, the quit signals, the end of the session:
    // cancels every modal dialog from the innermost out, so the main window
    // ends the orderly way (the game saves its scores). From then on
    // CancellingAll holds, and a dialog that opens is to close at once.
    void CancelAll();
    bool CancellingAll() const { return cancellingAll_; }
    // A backend that runs the game again afterwards (the web page): the
    // next game starts with nothing ending.
    void EndCancelAll() { cancellingAll_ = false; }
    // DestroyWindow's work on an open dialog that runs no modal loop; RunModal's
    // last step. The window goes, its timers are killed, OnDestroy runs.
    virtual void CloseWindow(Dialog& dlg) = 0;

  private:
    InputTap* tap_ = nullptr;
    const KeyBindings* bindings_ = nullptr;
    FramePacer pacer_;
    std::vector<Dialog*> modalStack_;  // innermost last
    bool cancellingAll_ = false;
};

// The system the program runs on; set once by main() or by a test.
System& Sys();
void SetSys(System* system);

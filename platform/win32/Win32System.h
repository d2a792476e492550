#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/System.h"
#include "platform/win32/Win32KeyMap.h"

class Win32Gamepads;
struct Message;

// The real platform on Windows: dialogs made by the system's dialog manager
// from the game's templates, window timers (WM_TIMER), the system menu,
// message boxes, the cursor, an OpenGL context through WGL, and XInput
// controllers that stand in for the keyboard. Everything runs on the thread
// that made it. Window handles are kept as void* so that this header stays
// free of <windows.h>, whose macros clash with the game's own names.
class Win32System : public System {
  public:
    Win32System();
    // Closes what is still open and gives the timer resolution back.
    ~Win32System() override;
    Win32System(const Win32System&) = delete;
    Win32System& operator=(const Win32System&) = delete;

    // main() calls this once before anything else: raises the system timer
    // resolution to 1 ms (so the 40 ms timer is not rounded up to a
    // multiple of 15.6 ms) and looks for XInput.
    void Init();

    uint32_t GetTickCount() override;
    uint64_t NowMicros() override;
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
    void AppendSystemMenuItem(Dialog& dlg, unsigned id, const char* text) override;

    // Vsync (wglSwapIntervalEXT, where the driver has it) while frames come
    // between ticks; the loop draws them in its idle time.
    void SetFrameSource(Dialog* dlg, int perSecond, unsigned tickMs) override;
    GlContextResult CreateGlContext(Dialog& dlg) override;
    void ReleaseGlContext() override;
    void SwapBuffers() override;

    std::string ProgramName() override;
    void SetPadBindings(const PadBindings& bindings) override;
    std::string KeyName(int physical) override { return KeyNameFromWin32(physical); }

    // The window (HWND) of an open dialog, for tests that drive it; null otherwise.
    void* WindowOf(const Dialog& dlg) const;

    struct Window;
    // The dialog procedure of every window of this system, for the one
    // message it was given; true when handled. Not for other callers.
    intptr_t HandleMessage(Window& w, unsigned msg, uintptr_t wp, intptr_t lp);

  protected:
    int DisplayRefreshRate() override;

  private:
    // 1: swaps wait for the display; 0: they never do.
    void SetSwapInterval(int interval);
    void OpenWindow(Dialog& dlg);
    void CloseWindow(Dialog& dlg) override;
    Window* Find(const Dialog& dlg) const;
    void* Owner() const;
    // One message of the modal loop of `modal`.
    void Pump(Dialog& modal);
    // Key messages of the main window go to its PreTranslateMessage; true
    // when the message was taken.
    bool RouteInput(const void* msg);
    void DeliverInput(const Message& msg) override;
    // The window of the message box open now (HWND), null when none is.
    void* OpenBox() const;
    // The focused edit field of a dialog's window, else its first one.
    void* EditOf(Dialog& dlg, void* hwnd) const;
    void PollGamepads();
    // WM_SETCURSOR with this hit-test code: true where the pointer is to be
    // hidden (over the main window's picture while the counter is below 0).
    bool HidesCursor(void* hwnd, int hit) const;
    // Copies the texts of the dialog's edit fields between model and window.
    void PushTexts(Dialog& dlg, void* hwnd);
    void PullTexts(Dialog& dlg, void* hwnd);

    std::map<Dialog*, std::unique_ptr<Window>> windows_;
    // A key the tap has seen is being handled: the OK or Cancel it brings
    // about is that key's doing, not a click to pass through the tap again.
    bool fromKey_ = false;
    char16_t pendingHigh_ = 0;  // first half of a typed character outside the BMP
    bool timerPeriodRaised_ = false;

    void* mainWindow_ = nullptr;  // HWND of the window hosting GL
    void* glDc_ = nullptr;        // HDC the context is bound to
    void* glContext_ = nullptr;   // HGLRC
    void* icon_ = nullptr;        // HICON made from SetWindowIcon's pixels
    int cursorCounter_ = 0;
    uintptr_t padTimer_ = 0;
    std::unique_ptr<Win32Gamepads> gamepads_;
    PadBindings padBindings_ = PadBindings::Defaults();
};

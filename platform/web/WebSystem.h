#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/FrameLoop.h"
#include "platform/Message.h"
#include "platform/System.h"

// The platform in a web page: one loop on the browser's animation frames,
// window timers on a fixed-step clock, the canvas as the main window with a
// WebGL context, the other dialogs as HTML dialogs over it (web/quorvax-page.js
// builds them), and the page's keys and clicks as input. Modal loops wait
// for the next animation frame without returning (Asyncify), so the game's
// nested loops run as they do on the desktop.
class WebSystem : public System, private FrameLoop::Host {
  public:
    WebSystem();
    ~WebSystem() override;
    WebSystem(const WebSystem&) = delete;
    WebSystem& operator=(const WebSystem&) = delete;

    // The one system of the page, for the page's events (WebSystemEvents.cpp);
    // null before main_web makes it.
    static WebSystem* Current();

    uint32_t GetTickCount() override;
    uint64_t NowMicros() override;
    // Waits without blocking the page; animation frames and timers stop meanwhile.
    void Sleep(uint32_t ms) override;
    void MessageBox(const char* text, const char* caption) override;
    void ShowCursor(bool show) override;

    int RunModal(Dialog& dlg) override;
    void CreateModeless(Dialog& dlg) override;
    void SetTimer(Dialog& dlg, unsigned id, unsigned periodMs) override;
    void KillTimer(Dialog& dlg, unsigned id) override;

    // The canvas's size in pixels of its drawing buffer.
    Rect DesktopRect() override;
    // The page decides the canvas's size: the main window always gets it.
    void MoveWindow(Dialog& dlg, const Rect& r) override;
    // Alt+Enter: the page goes full screen or back; the size follows as a resize.
    void SetWindowMode(Dialog& dlg, bool fullscreenBorderless) override;
    void SetWindowIcon(Dialog& dlg, const uint8_t* rgba, int width, int height) override;

    GlContextResult CreateGlContext(Dialog& dlg) override;
    void ReleaseGlContext() override;
    void SwapBuffers() override;

    std::string ProgramName() override { return "quorvax"; }
    bool HasThreads() const override { return false; }
    void FileSaved(const std::string& name) override;
    void DeliverInput(const Message& msg) override;

    // The page's events, queued by WebSystemEvents.cpp while the loop waits
    // and handled at the next animation frame in the loop that runs then.
    void QueueInput(const Message& msg);
    void QueueButton(int dialogHandle, int id);
    void QueueResize(int width, int height);
    // A new game from the page (the record button, a chosen recording):
    // ends every dialog the way the browser's own quit would.
    void QueueQuit();
    // Work the page asks of the game (the scores written as the page goes
    // out of sight): run in the game's loop, where it may wait for the
    // browser. The page's own calls into the game must not: they run while
    // the loop is suspended.
    void QueueTask(std::function<void()> task);
    // main_web between two games: the next one starts with nothing ending.
    void StartAfresh();
    // The page's tests: while held() is true the clock stands still (no
    // timer fires, frames still draw), so keys land at an exact tick however
    // slowly the browser draws; released, the timers start again from then,
    // as after a hidden tab. An empty function releases it.
    void HoldClock(std::function<bool()> held) { loop_.HoldClock(std::move(held)); }

    // The main window while it is open (the state line of window.quorvax).
    Dialog* MainDialog() const { return mainDialog_; }

    // What RunModal returns for a dialog the page cannot show.
    static constexpr int kNoWindow = -2;

  protected:
    void CloseWindow(Dialog& dlg) override;

  private:
    struct Event {
        enum class Kind { Input, Button, Resize, Quit, Task } kind = Kind::Input;
        Message msg;
        int handle = 0;  // Button: the dialog; Resize: width
        int id = 0;      // Button: the control; Resize: height
        std::function<void()> task;
    };

    void OpenWindow(Dialog& dlg);
    // Handed to the page: the dialog's template as JSON for its HTML dialog.
    std::string DescribeDialog(const Dialog& dlg) const;
    // Shows the edit field's text and caret in the page's input again.
    void SyncDialogView(Dialog& dlg);

    // FrameLoop::Host: the page's queued events, the main window's frames,
    // and the HTML dialogs kept in step after each animation frame.
    void HandleEvents(Dialog& modal) override;
    Dialog* FrameSource() override;
    void FrameDone() override;
    void HandleEvent(const Event& event);
    void HandleButton(int handle, int id);
    static bool IsMessageBox(const Dialog& dlg);

    FrameLoop loop_;
    std::deque<Event> events_;
    std::map<Dialog*, int> handles_;  // open HTML dialogs and their page handles
    int nextHandle_ = 1;
    Dialog* mainDialog_ = nullptr;
    int canvasWidth_ = 0;
    int canvasHeight_ = 0;
    int glContext_ = 0;  // EMSCRIPTEN_WEBGL_CONTEXT_HANDLE
    int cursorCounter_ = 0;
    bool frameShown_ = false;
};

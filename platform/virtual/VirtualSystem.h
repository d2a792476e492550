#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Message.h"
#include "platform/OffscreenGl.h"
#include "platform/System.h"
#include "platform/TimerQueue.h"

// The platform at virtual time: the same windows, timers and modal loops
// as the real backend, but the clock only moves when a timer is due or
// Sleep is called, input comes from a script, message boxes are recorded,
// and OpenGL draws into an offscreen surface that can be read back.
// Tests and the replay tool drive the real MainWindow and Game with it.
class VirtualSystem : public System {
  public:
    struct Options {
        int desktopWidth = 1280;
        int desktopHeight = 720;
        bool gl = true;  // false: CreateGlContext fails as on a machine without a pixel format
        GlApi glApi = GlApi::Compatibility;  // Es2 for the OpenGL ES renderer
    };
    struct CapturedMessage {
        std::string caption;
        std::string text;
    };

    VirtualSystem();
    explicit VirtualSystem(const Options& options);
    ~VirtualSystem() override;

    // System
    uint32_t GetTickCount() override;
    // Virtual milliseconds, in microseconds.
    uint64_t NowMicros() override { return now_ * 1000u; }
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
    GlContextResult CreateGlContext(Dialog& dlg) override;
    void ReleaseGlContext() override;
    void SwapBuffers() override;
    std::string ProgramName() override { return "quorvax"; }
    void DeliverInput(const Message& msg) override { Deliver(msg); }

    // Driving the main window step by step (tests): Open creates it and runs
    // OnInitDialog, RunTicks runs its timer n more times (modal dialogs
    // opened meanwhile run their own loops inside), Close ends it the way
    // Escape does and destroys it. RunTicks answers false once it has ended.
    void Open(Dialog& main);
    bool RunTicks(uint64_t n);
    void Close();
    // The whole program's loop with a tick limit (the replay tool): runs the
    // main window modally; at the limit every open dialog is cancelled.
    int RunModalFor(Dialog& main, uint64_t tickLimit);

    // Input. Scheduled messages are delivered to the focused dialog just
    // before main tick `tick` (counted from 1) runs; the others at once. A
    // message with a `physical` key goes through the key bindings first,
    // as a backend's keyboard input does.
    void Schedule(uint64_t tick, const Message& msg);
    void KeyDown(int vk, bool repeat = false);
    void KeyUp(int vk);
    void Type(const std::string& text);
    void Deliver(const Message& msg);

    // Clock: GetTickCount is base + virtual milliseconds.
    void SetTickBase(uint32_t base) { tickBase_ = base; }
    uint64_t Now() const { return now_; }
    // Runs every timer that falls due within the next ms milliseconds.
    void AdvanceTime(uint64_t ms);

    // Runs after every main tick with its number.
    std::function<void(uint64_t tick)> afterTick;
    // Runs for every message box (the replay tool prints them).
    std::function<void(const CapturedMessage&)> onMessage;

    // A current GL context without any window (unit tests of drawing code).
    bool MakeStandaloneGlContext(int width, int height);
    // The picture now in the surface, RGB, top row first.
    bool ReadPixels(std::vector<uint8_t>& rgb, int& width, int& height) const;

    uint64_t MainTicks() const { return mainTicks_; }
    int CursorCount() const { return cursorCount_; }
    Dialog* Focus() const;
    Dialog* MainDialog() const { return main_; }
    bool HasTimer(const Dialog& dlg, unsigned id) const { return timers_.Has(&dlg, id); }
    int SwapCount() const { return swaps_; }
    int ClientWidth() const { return clientW_; }
    int ClientHeight() const { return clientH_; }
    // False after SetWindowMode chose the decorated window.
    bool Borderless() const { return borderless_; }
    std::vector<CapturedMessage> messages;
    // A nested modal dialog still open after this many main ticks with no
    // scripted input left is cancelled, so a script can never hang.
    uint64_t modalIdleTickLimit = 250;

  private:
    void OpenWindow(Dialog& dlg);
    void CloseWindow(Dialog& dlg) override;
    // Runs the next due timer, moving the clock forward to it; false when no timer exists.
    bool Step();
    void DeliverScripted(uint64_t tick);
    bool ScriptDone() const;

    Options options_;
    uint64_t now_ = 0;
    uint32_t tickBase_ = 0;
    uint64_t mainTicks_ = 0;
    uint64_t tickLimit_ = UINT64_MAX;
    bool stopping_ = false;
    int cursorCount_ = 0;
    int swaps_ = 0;
    int clientW_ = 0;
    int clientH_ = 0;
    bool borderless_ = true;
    Dialog* main_ = nullptr;
    TimerQueue timers_;
    std::multimap<uint64_t, Message> script_;
    std::unique_ptr<OffscreenGl> gl_;
};

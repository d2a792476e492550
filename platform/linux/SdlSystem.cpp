#include "platform/linux/SdlSystem.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/Dialog.h"
#include "platform/MessageBoxDialog.h"
#include "platform/WindowedRect.h"
#include "platform/linux/DialogPainter.h"
#include "platform/linux/FontRaster.h"
#include "platform/linux/QuitSignals.h"
#include "platform/linux/SdlGamepads.h"
#include "platform/linux/X11WindowHints.h"

namespace {

bool IsHeadlessDriver(const char* driver) {
    return std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0 ||
           std::strcmp(driver, "evdev") == 0;
}

bool HeadlessVideoDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver == nullptr || IsHeadlessDriver(driver);
}

// The video drivers that put a picture on a screen, as a list for
// SDL_HINT_VIDEODRIVER in SDL's order. Without it SDL falls back to a driver
// without a screen when no display can be opened, and the game would run
// unseen until killed. Wayland is left out where it cannot connect at all
// (no socket named, no runtime directory to find one in): libwayland would
// only print an error of its own.
std::string ScreenDrivers() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    const bool waylandReachable = (wayland != nullptr && wayland[0] == '/') ||
                                  (runtimeDir != nullptr && runtimeDir[0] != '\0');
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* driver = SDL_GetVideoDriver(i);
        if (driver == nullptr || IsHeadlessDriver(driver) ||
            (std::strcmp(driver, "wayland") == 0 && !waylandReachable)) {
            continue;
        }
        list += list.empty() ? "" : ",";
        list += driver;
    }
    return list;
}

std::string NoDisplayMessage() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        return "no display could be opened: DISPLAY is not set (the game needs a graphical "
               "desktop)";
    }
    return std::string("no display could be opened: cannot connect to DISPLAY \"") + display + "\"";
}

void SetGlAttributes() {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
}

// The current context's buffers are at least what was asked for.
bool GlAttributesHold() {
    const struct {
        SDL_GLattr attr;
        int least;
    } wanted[] = {
        {SDL_GL_DOUBLEBUFFER, 1}, {SDL_GL_RED_SIZE, 8},    {SDL_GL_GREEN_SIZE, 8},
        {SDL_GL_BLUE_SIZE, 8},    {SDL_GL_DEPTH_SIZE, 24}, {SDL_GL_STENCIL_SIZE, 8},
    };
    for (const auto& w : wanted) {
        int value = 0;
        if (SDL_GL_GetAttribute(w.attr, &value) != 0 || value < w.least) {
            return false;
        }
    }
    return true;
}

}  // namespace

SdlSystem::SdlSystem() = default;

SdlSystem::~SdlSystem() {
    if (!initialised_) {
        return;
    }
    if (glContext_ != nullptr) {
        ReleaseGlContext();
    }
    for (auto& [dlg, w] : windows_) {
        if (w->sdl != nullptr) {
            SDL_DestroyWindow(w->sdl);
        }
        dlg->SetOpen(false);
    }
    windows_.clear();
    SDL_ShowCursor(SDL_ENABLE);
    gamepads_.reset();
    if (controllersInitialised_) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) {
        SDL_Quit();
    }
}

bool SdlSystem::Init() {
    // Closing a window ends its dialog by itself; SDL_QUIT is kept for the
    // window manager's quit, which ends every dialog like a quit signal.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Dialogs are painted in software. A GL-backed window surface would make
    // its own context current and take the game's drawing with it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A driver asked for by name (SDL_VIDEODRIVER, as the tests do) is
    // taken as it is, even one without a screen.
    const char* named = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (named == nullptr || named[0] == '\0') {
        const std::string drivers = ScreenDrivers();
        if (drivers.empty()) {
            lastError_ = NoDisplayMessage();
            return false;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
        const int status = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        if (status != 0) {
            lastError_ = NoDisplayMessage();
            return false;
        }
    } else if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        lastError_ = std::string("cannot start the video system: ") + SDL_GetError();
        return false;
    }
    initialised_ = true;
    // Game controllers are optional: without them the keyboard still plays.
    // Those already plugged in arrive as device-added events.
    controllersInitialised_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    gamepads_ = std::make_unique<SdlGamepads>();
    gamepads_->SetBindings(padBindings_);
    wallClock_.Start();
    SDL_StartTextInput();
    return true;
}

void SdlWallClock::Start() {
    frequency_ = std::max<uint64_t>(1, SDL_GetPerformanceFrequency());
    start_ = SDL_GetPerformanceCounter();
}

uint64_t SdlWallClock::NowUs() {
    const uint64_t c = SDL_GetPerformanceCounter() - start_;
    return c / frequency_ * 1000000u + c % frequency_ * 1000000u / frequency_;
}

void SdlWallClock::SleepUs(uint64_t us) {
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

void SdlWallClock::Yield() {
    std::this_thread::yield();
}

// Nothing tells the desktop loop of the display's frames: a 60th of a second.
bool SdlWallClock::NextFrame() {
    SleepUs(16667);
    return true;
}

uint32_t SdlSystem::GetTickCount() {
    return static_cast<uint32_t>(NowUs() / 1000u);
}

void SdlSystem::Sleep(uint32_t ms) {
    clock_->SleepUs(uint64_t{ms} * 1000u);
}

void SdlSystem::MessageBox(const char* text, const char* caption) {
    // Without a display no box can be shown: the dummy and offscreen drivers
    // make windows nobody sees, which nobody could answer. A program that is
    // ending closes every box at once, so its text would be lost as well.
    if (initialised_ && !HeadlessVideoDriver() && !Quitting()) {
        DialogPainter& painter = Painter();
        MessageBoxDialog box(caption, text,
                             [&painter](const std::string& s) { return painter.TextWidth(s); });
        // Without any font the box shows no text; the terminal still gets it.
        const bool textShown = dialogFont_->IsOpen();
        if (box.DoModal() != kNoWindow && textShown) {
            return;
        }
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

void SdlSystem::ShowCursor(bool show) {
    cursorCounter_ += show ? 1 : -1;
    UpdateCursor();
}

// A hidden cursor is hidden over the game's picture only: over a dialog the
// player needs it to click OK. SDL shows or hides it for all its windows at
// once, so it follows the window under the pointer.
void SdlSystem::UpdateCursor() {
    if (!initialised_) {
        return;
    }
    const bool hide =
        cursorCounter_ < 0 && mainWindow_ != nullptr && SDL_GetMouseFocus() == mainWindow_;
    const int wanted = hide ? SDL_DISABLE : SDL_ENABLE;
    if (SDL_ShowCursor(SDL_QUERY) != wanted) {
        SDL_ShowCursor(wanted);
    }
}

SdlSystem::Window* SdlSystem::Find(const Dialog& dlg) {
    auto it = windows_.find(const_cast<Dialog*>(&dlg));
    return it == windows_.end() ? nullptr : it->second.get();
}

Dialog* SdlSystem::DialogOf(uint32_t windowId) {
    for (auto& [dlg, w] : windows_) {
        if (w->sdl != nullptr && SDL_GetWindowID(w->sdl) == windowId) {
            return dlg;
        }
    }
    return nullptr;
}

// A dialog under the innermost modal one takes no input, as its owner is
// disabled while a modal dialog runs.
bool SdlSystem::IsDisabled(const Dialog& dlg) const {
    return InModalLoop(dlg) && InnermostModal() != &dlg;
}

void SdlSystem::OpenWindow(Dialog& dlg) {
    auto w = std::make_unique<Window>();
    const DialogTemplate& t = dlg.Template();
    if (t.visible && initialised_) {
        const int width = std::max(1, DialogUnitsToPixelsX(t.width));
        const int height = std::max(1, DialogUnitsToPixelsY(t.height));
        if (t.hostsGl) {
            SetGlAttributes();
            const Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
            const int pos = SDL_WINDOWPOS_UNDEFINED_DISPLAY(0);
            w->sdl =
                SDL_CreateWindow("Quorvax", pos, pos, width, height, flags | SDL_WINDOW_OPENGL);
            w->hasGl = w->sdl != nullptr;
            if (w->sdl == nullptr) {
                // No visual with that pixel format: the window still opens,
                // and CreateGlContext reports the missing format.
                w->sdl = SDL_CreateWindow("Quorvax", pos, pos, width, height, flags);
            }
            mainWindow_ = w->sdl;
            w->coverDisplay = true;
        } else {
            const Rect owner = OwnerRect();
            w->sdl = SDL_CreateWindow(t.caption, owner.left + (owner.Width() - width) / 2,
                                      owner.top + (owner.Height() - height) / 2, width, height,
                                      SDL_WINDOW_HIDDEN | SDL_WINDOW_ALWAYS_ON_TOP);
            X11WindowHints::MarkAsDialog(w->sdl);
            Painter().LayOut(dlg);
        }
        if (w->sdl == nullptr) {
            std::fprintf(stderr, "quorvax: cannot create window \"%s\": %s\n", t.caption,
                         SDL_GetError());
        }
    }
    windows_[&dlg] = std::move(w);
    dlg.SetOpen(true);
    dlg.dirty = true;
}

// Dialogs open centred over the main window, or over display 0 while it is
// not shown (messages during start-up).
Rect SdlSystem::OwnerRect() {
    if (mainWindow_ != nullptr && (SDL_GetWindowFlags(mainWindow_) &
                                   (SDL_WINDOW_SHOWN | SDL_WINDOW_MINIMIZED)) == SDL_WINDOW_SHOWN) {
        int x = 0, y = 0, cx = 0, cy = 0;
        SDL_GetWindowPosition(mainWindow_, &x, &y);
        SDL_GetWindowSize(mainWindow_, &cx, &cy);
        return Rect{x, y, x + cx, y + cy};
    }
    return DesktopRect();
}

// Once a window manager has framed the dialog, the frame as a whole is
// centred; the window was made centred by its client area alone.
void SdlSystem::CentreFrame(SDL_Window* window) {
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_PumpEvents();  // the frame's size arrives as a property change of the window
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0 ||
        top + left + bottom + right == 0) {
        return;
    }
    const Rect owner = OwnerRect();
    int cx = 0, cy = 0;
    SDL_GetWindowSize(window, &cx, &cy);
    SDL_SetWindowPosition(window, owner.left + (owner.Width() - cx - left - right) / 2 + left,
                          owner.top + (owner.Height() - cy - top - bottom) / 2 + top);
}

bool SdlSystem::Quitting() const {
    return CancellingAll() || QuitSignals::Pending();
}

void SdlSystem::ShowWindow(Dialog& dlg) {
    Window* w = Find(dlg);
    if (w == nullptr || w->sdl == nullptr) {
        return;
    }
    const bool ownerShown =
        mainWindow_ != nullptr && (SDL_GetWindowFlags(mainWindow_) & SDL_WINDOW_SHOWN) != 0;
    if (!dlg.Template().hostsGl && ownerShown) {
        SDL_SetWindowModalFor(w->sdl, mainWindow_);
    }
    SDL_ShowWindow(w->sdl);
    if (!dlg.Template().hostsGl) {
        CentreFrame(w->sdl);
    }
    SDL_RaiseWindow(w->sdl);
    // Without a window manager nobody else gives a new window the keys.
    SDL_SetWindowInputFocus(w->sdl);
    if (dlg.Template().hostsGl) {
        KeepOverDisplay(dlg, *w);
    }
    dlg.dirty = true;
    PaintDirty();
}

void SdlSystem::CloseWindow(Dialog& dlg) {
    dlg.OnDestroy();
    timers_.KillAll(&dlg);
    auto it = windows_.find(&dlg);
    if (it != windows_.end()) {
        SDL_Window* sdl = it->second->sdl;
        if (sdl != nullptr && sdl == mainWindow_) {
            if (glContext_ != nullptr) {
                ReleaseGlContext();
            }
            mainWindow_ = nullptr;
        }
        if (sdl != nullptr) {
            SDL_DestroyWindow(sdl);
            if (mainWindow_ != nullptr) {
                // Without a window manager the focus would fall to nobody.
                SDL_RaiseWindow(mainWindow_);
                SDL_SetWindowInputFocus(mainWindow_);
            }
        }
        windows_.erase(it);
    }
    dlg.SetOpen(false);
}

int SdlSystem::RunModal(Dialog& dlg) {
    if (dlg.IsOpen()) {
        return -1;
    }
    OpenWindow(dlg);
    const Window* w = Find(dlg);
    if (w->sdl == nullptr && dlg.Template().visible && !dlg.Template().hostsGl) {
        // A dialog without a window has nobody to answer it.
        CloseWindow(dlg);
        return kNoWindow;
    }
    PushModal(dlg);
    dlg.OnInitDialog();
    if (Quitting()) {
        // The program is ending: a dialog opened now closes at once, and so
        // do those under it if no loop has seen a quit signal yet.
        CancelAll();
    } else {
        ShowWindow(dlg);
    }
    while (!dlg.IsEnded()) {
        Pump(dlg);
    }
    PopModal(dlg);
    CloseWindow(dlg);
    return dlg.Result();
}

void SdlSystem::CreateModeless(Dialog& dlg) {
    if (dlg.IsOpen()) {
        return;
    }
    OpenWindow(dlg);
    dlg.OnInitDialog();
    ShowWindow(dlg);
}

void SdlSystem::SetTimer(Dialog& dlg, unsigned id, unsigned periodMs) {
    timers_.Set(&dlg, id, uint64_t{periodMs} * 1000u, NowUs());
}

void SdlSystem::KillTimer(Dialog& dlg, unsigned id) {
    timers_.Kill(&dlg, id);
}

Rect SdlSystem::DesktopRect() {
    SDL_Rect r{0, 0, 0, 0};
    if (!initialised_ || SDL_GetDisplayBounds(0, &r) != 0) {
        return Rect{0, 0, 640, 480};
    }
    return Rect{r.x, r.y, r.x + r.w, r.y + r.h};
}

void SdlSystem::DeliverSize(Dialog& dlg, Window& w, int cx, int cy, bool always) {
    if (!always && cx == w.width && cy == w.height) {
        return;
    }
    w.width = cx;
    w.height = cy;
    dlg.dirty = true;
    dlg.OnSize(cx, cy);
}

void SdlSystem::MoveWindow(Dialog& dlg, const Rect& r) {
    Window* w = Find(dlg);
    if (w == nullptr) {
        dlg.OnSize(r.Width(), r.Height());
        return;
    }
    int cx = r.Width();
    int cy = r.Height();
    if (w->sdl != nullptr) {
        SDL_SetWindowPosition(w->sdl, r.left, r.top);
        SDL_SetWindowSize(w->sdl, std::max(1, cx), std::max(1, cy));
        SDL_GetWindowSize(w->sdl, &cx, &cy);
    }
    DeliverSize(dlg, *w, cx, cy, true);
}

void SdlSystem::SetWindowMode(Dialog& dlg, bool fullscreenBorderless) {
    const Rect desktop = DesktopRect();
    const Rect r = fullscreenBorderless ? desktop : WindowedRect(desktop);
    Window* w = Find(dlg);
    if (w != nullptr && w->sdl != nullptr) {
        w->coverDisplay = fullscreenBorderless;
        if (!fullscreenBorderless &&
            (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            SDL_SetWindowFullscreen(w->sdl, 0);
        }
        SDL_SetWindowBordered(w->sdl, fullscreenBorderless ? SDL_FALSE : SDL_TRUE);
        SDL_SetWindowResizable(w->sdl, fullscreenBorderless ? SDL_FALSE : SDL_TRUE);
    }
    // The window manager may settle on another size; its size event then
    // takes the same way to OnSize.
    MoveWindow(dlg, r);
    if (w != nullptr) {
        KeepOverDisplay(dlg, *w);
    }
}

// A window manager may move the borderless window by the frame it drew
// around the decorated one, or keep it out of a panel's area. Then the
// window asks for the desktop-fullscreen state, which every window manager
// gives over the whole display. Without a window manager nobody moves it,
// and that state, which only a window manager carries out, is never asked for.
void SdlSystem::KeepOverDisplay(Dialog& dlg, Window& w) {
    const Uint32 flags = w.sdl != nullptr ? SDL_GetWindowFlags(w.sdl) : 0;
    if (!w.coverDisplay || (flags & SDL_WINDOW_SHOWN) == 0 ||
        (flags & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MINIMIZED)) != 0) {
        return;
    }
    const Rect desktop = DesktopRect();
    int x = 0, y = 0, cx = 0, cy = 0;
    SDL_GetWindowPosition(w.sdl, &x, &y);
    SDL_GetWindowSize(w.sdl, &cx, &cy);
    if (x == desktop.left && y == desktop.top && cx == desktop.Width() && cy == desktop.Height()) {
        return;
    }
    if (SDL_SetWindowFullscreen(w.sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) {
        SDL_GetWindowSize(w.sdl, &cx, &cy);
        DeliverSize(dlg, w, cx, cy, false);
    }
}

void SdlSystem::SetWindowIcon(Dialog& dlg, const uint8_t* rgba, int width, int height) {
    if (rgba == nullptr || width <= 0 || height <= 0) {
        return;
    }
    icon_.assign(rgba, rgba + static_cast<size_t>(width) * height * 4);
    iconWidth_ = width;
    iconHeight_ = height;
    if (painter_) {
        painter_->SetIcon(icon_.data(), iconWidth_, iconHeight_);
    }
    Window* w = Find(dlg);
    if (w == nullptr || w->sdl == nullptr) {
        return;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon_.data(), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface != nullptr) {
        SDL_SetWindowIcon(w->sdl, surface);
        SDL_FreeSurface(surface);
    }
}

GlContextResult SdlSystem::CreateGlContext(Dialog& dlg) {
    Window* w = Find(dlg);
    if (w == nullptr || w->sdl == nullptr || !w->hasGl) {
        return GlContextResult::NoPixelFormat;
    }
    if (glContext_ != nullptr) {
        ReleaseGlContext();
    }
    SDL_GLContext context = SDL_GL_CreateContext(w->sdl);
    if (context == nullptr) {
        return GlContextResult::NoPixelFormat;
    }
    if (!GlAttributesHold()) {
        SDL_GL_MakeCurrent(w->sdl, nullptr);
        SDL_GL_DeleteContext(context);
        return GlContextResult::NoPixelFormat;
    }
    if (SDL_GL_MakeCurrent(w->sdl, context) != 0) {
        SDL_GL_DeleteContext(context);
        return GlContextResult::CannotMakeCurrent;
    }
    // The swap never waits for the display while the tick holds the pace.
    SDL_GL_SetSwapInterval(0);
    glContext_ = context;
    return GlContextResult::Ok;
}

void SdlSystem::SetFrameSource(Dialog* dlg, int perSecond, unsigned tickMs) {
    if (glContext_ != nullptr) {
        // Ticks alone never wait for the display; frames between them may.
        SDL_GL_SetSwapInterval(dlg != nullptr ? 1 : 0);
    }
    System::SetFrameSource(dlg, perSecond, tickMs);
}

int SdlSystem::DisplayRefreshRate() {
    const int display = mainWindow_ != nullptr ? SDL_GetWindowDisplayIndex(mainWindow_) : 0;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) != 0) {
        return 0;
    }
    return mode.refresh_rate;
}

void SdlSystem::ReleaseGlContext() {
    if (!initialised_) {
        return;
    }
    SDL_GLContext current = SDL_GL_GetCurrentContext();
    SDL_GL_MakeCurrent(mainWindow_, nullptr);
    if (current != nullptr) {
        SDL_GL_DeleteContext(current);
    }
    if (glContext_ != nullptr && glContext_ != current) {
        SDL_GL_DeleteContext(glContext_);
    }
    glContext_ = nullptr;
}

void SdlSystem::SwapBuffers() {
    if (glContext_ != nullptr && mainWindow_ != nullptr) {
        SDL_GL_SwapWindow(mainWindow_);
    }
}

std::string SdlSystem::ProgramName() {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return "quorvax";
    }
    std::string path(buf, static_cast<size_t>(n));
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() &&
        path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0) {
        path.resize(path.size() - deleted.size());
    }
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

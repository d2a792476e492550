// The event loop half of SdlSystem: events, timers, waiting and painting.
#include <SDL.h>

#include <algorithm>

#include "platform/Dialog.h"
#include "platform/Keys.h"
#include "platform/MessageBoxDialog.h"
#include "platform/linux/Canvas.h"
#include "platform/linux/DialogPainter.h"
#include "platform/linux/FontRaster.h"
#include "platform/linux/QuitSignals.h"
#include "platform/linux/SdlGamepads.h"
#include "platform/linux/SdlKeyMap.h"
#include "platform/linux/SdlSystem.h"

namespace {

// The loop sleeps in slices this long between looks at the input, so input
// waits at most one slice.
constexpr uint64_t kSliceUs = 5000;
// Below this the wait spins instead of sleeping, since a sleep overshoots.
constexpr uint64_t kSpinUs = 300;
// With no timer at all the loop still looks at the clock now and then.
constexpr uint64_t kIdleWaitUs = 100000;

// Dialog texts in the classic 8-point dialog font (13-pixel cell).
constexpr const char* kDialogFontFamily = "MS Sans Serif";
constexpr int kDialogFontWeight = 400;
constexpr int kDialogFontCell = 13;

}  // namespace

void SdlSystem::Pump(Dialog& modal) {
    if (!CancellingAll() && QuitSignals::Pending()) {
        CancelAll();
        return;
    }
    SDL_Event event;
    while (!modal.IsEnded() && SDL_PollEvent(&event)) {
        HandleEvent(event);
    }
    if (modal.IsEnded()) {
        return;
    }
    FireDueTimer();
    if (modal.IsEnded()) {
        return;
    }
    // A frame between ticks only while no timer waits, and only one that
    // is done before the next is due: the tick comes first.
    const uint64_t nextTimer = timers_.Empty() ? UINT64_MAX : timers_.NextDue();
    if (nextTimer > NowUs()) {
        DrawDueFrame(nextTimer);
    }
    PaintDirty();
    WaitForNext();
}

// One due timer of any window, whichever modal loop runs: a dialog opened
// inside a tick keeps the main window ticking behind it. One per pass, so
// input is looked at between timers, and each timer is rescheduled against
// the clock as it is when it fires, never against a time read before a
// long tick ran.
void SdlSystem::FireDueTimer() {
    TimerQueue::Timer fired;
    if (timers_.PopDue(NowUs(), fired)) {
        fired.owner->OnTimer(fired.id);
    }
}

// SDL's own event wait is not used: SDL 2.26 wakes it with a message sent
// to the newest window over a second X connection, and when that window is
// gone before the X server takes the message (a dialog answered, the game
// ended), the BadWindow error ends the program as SDL closes that
// connection. So the loop sleeps in short slices and polls instead.
void SdlSystem::WaitForNext() {
    uint64_t now = NowUs();
    const uint64_t nextTimer = timers_.Empty() ? UINT64_MAX : timers_.NextDue();
    const uint64_t due =
        std::min(timers_.Empty() ? now + kIdleWaitUs : nextTimer, NextFrameMicros(nextTimer));
    SDL_Event event;
    for (; now < due; now = NowUs()) {
        if (SDL_PollEvent(&event) != 0) {
            HandleEvent(event);
            return;
        }
        const uint64_t left = due - now;
        if (left > kSpinUs) {
            clock_->SleepUs(std::min(left - kSpinUs, kSliceUs));
        } else {
            clock_->Yield();
        }
    }
}

void SdlSystem::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            CancelAll();
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT:
            HandleInput(event);
            break;
        case SDL_MOUSEBUTTONUP:
            HandleClick(event);
            break;
        default:
            if (gamepads_) {
                std::vector<Message> messages;
                gamepads_->HandleEvent(event, messages);
                for (const Message& m : messages) {
                    DeliverInput(m);
                }
            }
            break;
    }
}

void SdlSystem::HandleWindowEvent(const SDL_Event& event) {
    if (event.window.event == SDL_WINDOWEVENT_ENTER ||
        event.window.event == SDL_WINDOWEVENT_LEAVE) {
        UpdateCursor();  // also when the pointer leaves a window just closed
    }
    Dialog* dlg = DialogOf(event.window.windowID);
    if (dlg == nullptr) {
        return;
    }
    Window& w = *Find(*dlg);
    switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            if (dlg == InnermostModal() && !IsMessageBox(*dlg)) {
                DeliverKeyPress(VK_ESCAPE);
            } else if (!IsDisabled(*dlg)) {
                dlg->OnCancel();
            }
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            DeliverSize(*dlg, w, event.window.data1, event.window.data2, false);
            KeepOverDisplay(*dlg, w);
            break;
        case SDL_WINDOWEVENT_MOVED:
            KeepOverDisplay(*dlg, w);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            DeliverSize(*dlg, w, 0, 0, false);
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED: {
            int cx = 0;
            int cy = 0;
            SDL_GetWindowSize(w.sdl, &cx, &cy);
            DeliverSize(*dlg, w, cx, cy, false);
            break;
        }
        case SDL_WINDOWEVENT_EXPOSED:
            dlg->dirty = true;
            break;
        default:
            break;
    }
}

// All keyboard input goes to the innermost modal dialog, whichever window
// has the focus, so keystrokes never reach the game while a dialog is open.
void SdlSystem::HandleInput(const SDL_Event& event) {
    Dialog* top = InnermostModal();
    if (top == nullptr) {
        return;
    }
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_F4 &&
        (event.key.keysym.mod & KMOD_ALT) != 0) {
        // Without a window manager nobody else turns Alt+F4 into a close.
        if (IsMessageBox(*top)) {
            top->OnCancel();
        } else {
            DeliverKeyPress(VK_ESCAPE);
        }
        return;
    }
    // Typed text is for the dialogs' edit fields: the game's own window takes
    // keys only (as on Windows, where it gets no characters), so letters and
    // Space on it never go into a recording as text.
    if (event.type == SDL_TEXTINPUT && top->Template().hostsGl) {
        return;
    }
    Message msg;
    if (MessageFromSdlEvent(event, msg) && ApplyKeyBindings(msg, top)) {
        DeliverInput(msg);
    }
}

// A left click counts where it is let go, and only in the innermost modal
// dialog: the windows under it are disabled.
void SdlSystem::HandleClick(const SDL_Event& event) {
    Dialog* top = InnermostModal();
    if (event.button.button != SDL_BUTTON_LEFT || top == nullptr) {
        return;
    }
    if (DialogOf(event.button.windowID) != top) {
        return;
    }
    const int button = top->ButtonAt(event.button.x, event.button.y);
    if ((button == IDOK || button == IDCANCEL) && !IsMessageBox(*top)) {
        DeliverKeyPress(button == IDOK ? VK_RETURN : VK_ESCAPE);
        return;
    }
    Message msg;
    msg.kind = MessageKind::Click;
    msg.x = event.button.x;
    msg.y = event.button.y;
    top->PreTranslateMessage(msg);
}

void SdlSystem::DeliverInput(const Message& msg) {
    Dialog* top = InnermostModal();
    if (top == nullptr) {
        return;
    }
    if (IsMessageBox(*top) || top->OutsideThePlay() || TapInput(msg)) {
        top->PreTranslateMessage(msg);
    }
}

// Message boxes stay out of recordings (the replay tool answers them
// itself), and during a playback the player answers them: their keys pass
// by the input tap, and their clicks and closes act at once instead of
// going in as keys.
bool SdlSystem::IsMessageBox(const Dialog& dlg) {
    return dynamic_cast<const MessageBoxDialog*>(&dlg) != nullptr;
}

void SdlSystem::PaintDirty() {
    for (auto& [dlg, w] : windows_) {
        if (dlg->dirty && w->sdl != nullptr && !dlg->Template().hostsGl) {
            Paint(*dlg, *w);
        }
    }
}

DialogPainter& SdlSystem::Painter() {
    if (!painter_) {
        dialogFont_ = std::make_unique<FontRaster>();
        const bool haveFont =
            dialogFont_->Open(kDialogFontFamily, kDialogFontWeight, kDialogFontCell);
        painter_ = std::make_unique<DialogPainter>(haveFont ? dialogFont_.get() : nullptr);
        painter_->SetIcon(icon_.empty() ? nullptr : icon_.data(), iconWidth_, iconHeight_);
    }
    return *painter_;
}

void SdlSystem::Paint(Dialog& dlg, Window& w) {
    SDL_Surface* surface = SDL_GetWindowSurface(w.sdl);
    if (surface == nullptr) {
        return;
    }
    Canvas canvas(surface->w, surface->h);
    Painter().Paint(dlg, canvas);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(canvas.Pixels()), canvas.Width(), canvas.Height(), 32,
        canvas.Width() * 4, SDL_PIXELFORMAT_ARGB8888);
    if (source != nullptr) {
        SDL_BlitSurface(source, nullptr, surface, nullptr);
        SDL_FreeSurface(source);
        SDL_UpdateWindowSurface(w.sdl);
    }
    if (glContext_ != nullptr && SDL_GL_GetCurrentContext() != glContext_) {
        SDL_GL_MakeCurrent(mainWindow_, glContext_);
    }
    dlg.dirty = false;
}

void SdlSystem::SetPadBindings(const PadBindings& bindings) {
    padBindings_ = bindings;
    if (gamepads_) {
        gamepads_->SetBindings(bindings);
    }
}

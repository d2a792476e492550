#include "platform/virtual/VirtualSystem.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

#include "platform/Dialog.h"
#include "platform/Keys.h"
#include "platform/WindowedRect.h"

VirtualSystem::VirtualSystem() : VirtualSystem(Options{}) {}

VirtualSystem::VirtualSystem(const Options& options)
    : options_(options), gl_(OffscreenGl::Make(options.glApi)) {}

VirtualSystem::~VirtualSystem() {
    gl_->Release();
}

uint32_t VirtualSystem::GetTickCount() {
    return tickBase_ + static_cast<uint32_t>(now_);
}

void VirtualSystem::Sleep(uint32_t ms) {
    now_ += ms;
}

void VirtualSystem::MessageBox(const char* text, const char* caption) {
    CapturedMessage m{caption != nullptr ? caption : "", text != nullptr ? text : ""};
    messages.push_back(m);
    if (onMessage) {
        onMessage(m);
    }
}

void VirtualSystem::ShowCursor(bool show) {
    cursorCount_ += show ? 1 : -1;
}

void VirtualSystem::OpenWindow(Dialog& dlg) {
    dlg.SetOpen(true);
    if (dlg.Template().hostsGl && main_ == nullptr) {
        main_ = &dlg;
        clientW_ = DialogUnitsToPixelsX(dlg.Template().width);
        clientH_ = DialogUnitsToPixelsY(dlg.Template().height);
    }
    dlg.OnInitDialog();
}

void VirtualSystem::CloseWindow(Dialog& dlg) {
    if (!dlg.IsOpen()) {
        return;
    }
    timers_.KillAll(&dlg);
    dlg.OnDestroy();
    dlg.SetOpen(false);
    if (main_ == &dlg) {
        main_ = nullptr;
    }
}

Dialog* VirtualSystem::Focus() const {
    return InnermostModal() != nullptr ? InnermostModal() : main_;
}

bool VirtualSystem::ScriptDone() const {
    return script_.empty();
}

int VirtualSystem::RunModal(Dialog& dlg) {
    OpenWindow(dlg);
    PushModal(dlg);
    uint64_t idleFrom = mainTicks_;
    size_t scriptLeft = script_.size();
    while (!dlg.IsEnded()) {
        if (script_.size() != scriptLeft) {
            scriptLeft = script_.size();
            idleFrom = mainTicks_;
        }
        const bool idle =
            &dlg != main_ && ScriptDone() && mainTicks_ - idleFrom >= modalIdleTickLimit;
        if (stopping_ || idle) {
            dlg.OnCancel();
            if (!dlg.IsEnded()) {
                dlg.EndDialog(IDCANCEL);
            }
            break;
        }
        if (!Step()) {
            // No timer anywhere: only the script can move things on.
            if (ScriptDone()) {
                dlg.OnCancel();
                if (!dlg.IsEnded()) {
                    dlg.EndDialog(IDCANCEL);
                }
                break;
            }
            Message m = script_.begin()->second;
            script_.erase(script_.begin());
            Deliver(m);
        }
    }
    PopModal(dlg);
    CloseWindow(dlg);
    return dlg.Result();
}

int VirtualSystem::RunModalFor(Dialog& main, uint64_t tickLimit) {
    tickLimit_ = tickLimit;
    stopping_ = tickLimit == 0;
    return RunModal(main);
}

void VirtualSystem::CreateModeless(Dialog& dlg) {
    OpenWindow(dlg);
}

void VirtualSystem::SetTimer(Dialog& dlg, unsigned id, unsigned periodMs) {
    timers_.Set(&dlg, id, periodMs, now_);
}

void VirtualSystem::KillTimer(Dialog& dlg, unsigned id) {
    timers_.Kill(&dlg, id);
}

Rect VirtualSystem::DesktopRect() {
    return Rect{0, 0, options_.desktopWidth, options_.desktopHeight};
}

void VirtualSystem::MoveWindow(Dialog& dlg, const Rect& r) {
    const int w = std::max(0, r.Width());
    const int h = std::max(0, r.Height());
    if (&dlg == main_) {
        clientW_ = w;
        clientH_ = h;
        if (gl_->Exists()) {
            gl_->Resize(w, h);
        }
    }
    dlg.OnSize(w, h);
}

void VirtualSystem::SetWindowMode(Dialog& dlg, bool fullscreenBorderless) {
    if (&dlg == main_) {
        borderless_ = fullscreenBorderless;
    }
    const Rect desktop = DesktopRect();
    MoveWindow(dlg, fullscreenBorderless ? desktop : WindowedRect(desktop));
}

void VirtualSystem::SetWindowIcon(Dialog&, const uint8_t*, int, int) {}

GlContextResult VirtualSystem::CreateGlContext(Dialog&) {
    if (!options_.gl) {
        return GlContextResult::NoPixelFormat;
    }
    return gl_->Create(clientW_, clientH_) ? GlContextResult::Ok : GlContextResult::NoPixelFormat;
}

void VirtualSystem::ReleaseGlContext() {
    gl_->Release();
}

void VirtualSystem::SwapBuffers() {
    ++swaps_;
    gl_->Present();
}

void VirtualSystem::Open(Dialog& main) {
    OpenWindow(main);
}

bool VirtualSystem::RunTicks(uint64_t n) {
    const uint64_t target = mainTicks_ + n;
    while (mainTicks_ < target && main_ != nullptr && !main_->IsEnded()) {
        if (!Step()) {
            break;
        }
    }
    return main_ != nullptr && !main_->IsEnded();
}

void VirtualSystem::Close() {
    Dialog* main = main_;
    if (main == nullptr) {
        return;
    }
    if (!main->IsEnded()) {
        KeyDown(VK_ESCAPE);
        KeyUp(VK_ESCAPE);
    }
    if (!main->IsEnded()) {
        main->EndDialog(IDCANCEL);
    }
    CloseWindow(*main);
}

void VirtualSystem::Schedule(uint64_t tick, const Message& msg) {
    script_.emplace(tick, msg);
}

void VirtualSystem::KeyDown(int vk, bool repeat) {
    Message m;
    m.kind = MessageKind::KeyDown;
    m.key = vk;
    m.repeat = repeat;
    Deliver(m);
}

void VirtualSystem::KeyUp(int vk) {
    Message m;
    m.kind = MessageKind::KeyUp;
    m.key = vk;
    Deliver(m);
}

void VirtualSystem::Type(const std::string& text) {
    Message m;
    m.kind = MessageKind::Text;
    m.text = text;
    Deliver(m);
}

void VirtualSystem::Deliver(const Message& msg) {
    // A message with a key's place is from a keyboard, as a backend reads it.
    Message m = msg;
    Dialog* focus = Focus();
    if (msg.physical != 0 && !ApplyKeyBindings(m, focus)) {
        return;
    }
    if (focus != nullptr && (focus->OutsideThePlay() || TapInput(m))) {
        focus->PreTranslateMessage(m);
    }
}

void VirtualSystem::DeliverScripted(uint64_t tick) {
    while (!script_.empty() && script_.begin()->first <= tick) {
        Message m = script_.begin()->second;
        script_.erase(script_.begin());
        Deliver(m);
    }
}

bool VirtualSystem::Step() {
    if (timers_.Empty()) {
        return false;
    }
    now_ = std::max(now_, timers_.NextDue());
    TimerQueue::Timer t;
    if (!timers_.PopDue(now_, t)) {
        return false;
    }
    Dialog* d = t.owner;
    if (d != main_) {
        d->OnTimer(t.id);
        return true;
    }
    const uint64_t tick = mainTicks_ + 1;
    DeliverScripted(tick);
    // A dialog opened by that input ran its own loop, which took this timer's place.
    if (mainTicks_ + 1 != tick || main_ == nullptr || main_->IsEnded() || !timers_.Has(d, t.id)) {
        return true;
    }
    mainTicks_ = tick;
    d->OnTimer(t.id);
    if (afterTick) {
        afterTick(tick);
    }
    if (tick >= tickLimit_) {
        stopping_ = true;
    }
    return true;
}

void VirtualSystem::AdvanceTime(uint64_t ms) {
    const uint64_t target = now_ + ms;
    while (!timers_.Empty() && timers_.NextDue() <= target) {
        Step();
    }
    now_ = std::max(now_, target);
}

bool VirtualSystem::MakeStandaloneGlContext(int width, int height) {
    if (!options_.gl) {
        return false;
    }
    clientW_ = width;
    clientH_ = height;
    return gl_->Create(width, height);
}

bool VirtualSystem::ReadPixels(std::vector<uint8_t>& rgb, int& width, int& height) const {
    if (!gl_->Exists()) {
        return false;
    }
    width = gl_->Width();
    height = gl_->Height();
    // RGBA, the one layout OpenGL ES must read too; rows of four bytes need no packing.
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> flipped(row * static_cast<size_t>(height));
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, flipped.data());
    rgb.resize(static_cast<size_t>(width) * height * 3);
    uint8_t* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = &flipped[static_cast<size_t>(height - 1 - y) * row];
        for (int x = 0; x < width; ++x, in += 4) {
            *out++ = in[0];
            *out++ = in[1];
            *out++ = in[2];
        }
    }
    return true;
}

#include "platform/System.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/Dialog.h"
#include "platform/Message.h"
#include "platform/PhysicalKeys.h"

namespace {
System* g_system = nullptr;
}

System& Sys() {
    if (g_system == nullptr) {
        std::fprintf(stderr, "quorvax: no platform system set\n");
        std::abort();
    }
    return *g_system;
}

void SetSys(System* system) {
    g_system = system;
}

void System::DeliverKeyPress(int key) {
    Message msg;
    msg.key = key;
    DeliverInput(msg);
    msg.kind = MessageKind::KeyUp;
    DeliverInput(msg);
}

std::string System::KeyName(int physical) {
    return PhysicalKeys::CodeName(physical);
}

bool System::ApplyKeyBindings(Message& msg, const Dialog* top) const {
    if (msg.kind != MessageKind::KeyDown && msg.kind != MessageKind::KeyUp) {
        return true;
    }
    if (top != nullptr && top->CapturesKeys()) {
        return msg.physical != 0 || msg.key != 0;
    }
    // Alt+Enter stays the window mode whatever Enter is bound to; releases
    // are mapped under Alt too, so no action stays held.
    const bool altDown = msg.kind == MessageKind::KeyDown && msg.alt;
    if (bindings_ != nullptr && top != nullptr && top->Template().hostsGl && !altDown) {
        msg.key = GameKeyOfBoundKey(*bindings_, msg.physical, msg.key);
    }
    return msg.key != 0;
}

void System::DestroyWindow(Dialog& dlg) {
    if (!dlg.IsOpen()) {
        return;
    }
    if (InModalLoop(dlg)) {
        dlg.EndDialog(IDCANCEL);  // its modal loop closes it
        return;
    }
    CloseWindow(dlg);
}

void System::PopModal(Dialog& dlg) {
    const auto it = std::find(modalStack_.begin(), modalStack_.end(), &dlg);
    if (it != modalStack_.end()) {
        modalStack_.erase(it);
    }
}

bool System::InModalLoop(const Dialog& dlg) const {
    return std::find(modalStack_.begin(), modalStack_.end(), &dlg) != modalStack_.end();
}

void System::CancelAll() {
    cancellingAll_ = true;
    // A copy: a dialog's OnCancel may open or end others.
    const std::vector<Dialog*> stack = modalStack_;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (!(*it)->IsEnded()) {
            (*it)->OnCancel();
        }
    }
}

void System::SetFrameSource(Dialog* dlg, int perSecond, unsigned tickMs) {
    frameSource_ = dlg;
    if (dlg == nullptr) {
        return;
    }
    int rate = perSecond;
    if (rate <= 0) {
        rate = DisplayRefreshRate();
    }
    if (rate <= 0) {
        rate = 60;  // no rate reported (as under Xvfb): a common display's
    }
    pacer_.Start(1000000u / static_cast<unsigned>(rate), uint64_t{tickMs} * 1000u, NowMicros());
}

bool System::DrawDueFrame(uint64_t nextTimer) {
    if (frameSource_ == nullptr || !frameSource_->IsOpen()) {
        return false;
    }
    const uint64_t start = NowMicros();
    if (!pacer_.Due(start, nextTimer)) {
        return false;
    }
    const bool drew = frameSource_->OnFrame();
    pacer_.Drawn(start, NowMicros(), drew);
    return drew;
}

uint64_t System::NextFrameMicros(uint64_t nextTimer) {
    if (frameSource_ == nullptr || !frameSource_->IsOpen()) {
        return UINT64_MAX;
    }
    return pacer_.NextWake(NowMicros(), nextTimer);
}

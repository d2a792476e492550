#include "platform/System.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/Dialog.h"
#include "platform/Message.h"

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

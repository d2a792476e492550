#include "platform/System.h"

#include <cstdio>
#include <cstdlib>

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

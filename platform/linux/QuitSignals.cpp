#include "platform/linux/QuitSignals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_pending = 0;

extern "C" void NoteQuitSignal(int) {
    g_pending = 1;
}

}  // namespace

void QuitSignals::Install() {
    struct sigaction action {};
    action.sa_handler = NoteQuitSignal;
    sigemptyset(&action.sa_mask);
    // Libraries below us need not cope with interrupted calls; the loop
    // looks at the note at least every tenth of a second anyway.
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool QuitSignals::Pending() {
    return g_pending != 0;
}

#include "platform/linux/X11WindowHints.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>

namespace {

// The Motif window manager hints, as window managers read them: five longs.
struct MotifHints {
    unsigned long flags;
    unsigned long functions;
    unsigned long decorations;
    long inputMode;
    unsigned long status;
};
constexpr unsigned long kHintsFunctions = 1ul << 0;
constexpr unsigned long kHintsDecorations = 1ul << 1;
constexpr unsigned long kFunctionMove = 1ul << 2;
constexpr unsigned long kFunctionClose = 1ul << 5;
constexpr unsigned long kDecorBorder = 1ul << 1;
constexpr unsigned long kDecorTitle = 1ul << 3;
constexpr unsigned long kDecorMenu = 1ul << 4;

}  // namespace

void X11WindowHints::MarkAsDialog(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return;
    }
    Display* display = info.info.x11.display;
    const ::Window xwindow = info.info.x11.window;

    Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, xwindow, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                    32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialog), 1);

    MotifHints hints{kHintsFunctions | kHintsDecorations, kFunctionMove | kFunctionClose,
                     kDecorBorder | kDecorTitle | kDecorMenu, 0, 0};
    const Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, xwindow, motif, motif, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&hints), 5);
    XFlush(display);
}

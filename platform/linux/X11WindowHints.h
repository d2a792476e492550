#pragma once

struct SDL_Window;

// What a window manager is told about the game's windows beyond what SDL
// 2.26 has calls for, set through Xlib. On another video driver (Wayland,
// the tests' dummy driver) nothing is done.
class X11WindowHints {
  public:
    // SdlSystem::OpenWindow, before a dialog's window (About box, name
    // dialog, message box) is first shown: marks it as a dialog
    // (_NET_WM_WINDOW_TYPE_DIALOG) that can be moved and closed but has no
    // minimise or maximise button (_MOTIF_WM_HINTS). Minimising a dialog
    // would take the whole game with it until restored from the panel.
    static void MarkAsDialog(SDL_Window* window);
};

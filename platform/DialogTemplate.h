#pragma once

#include <vector>

// A dialog resource: caption, size and controls in dialog units of the
// 8-point system font. The backends lay windows out from it.
struct DialogControl {
    enum class Kind { Static, Icon, Edit, Button, Custom };
    Kind kind = Kind::Static;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    const char* text = "";
    bool isDefault = false;
};

struct DialogTemplate {
    int id = 0;
    const char* caption = "";
    int width = 0, height = 0;  // dialog units
    bool visible = true;        // false: a hidden window that only receives timers
    bool hostsGl = false;       // the main window: borderless, with an OpenGL surface
    std::vector<DialogControl> controls;
};

// Dialog units of "MS Sans Serif" 8 to pixels (6 x 13 pixel base units).
inline int DialogUnitsToPixelsX(int du) {
    return du * 6 / 4;
}
inline int DialogUnitsToPixelsY(int du) {
    return du * 13 / 8;
}

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

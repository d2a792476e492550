#pragma once

#include <windows.h>

// The pixel format the game's OpenGL windows ask ChoosePixelFormat for: a
// double-buffered RGBA window format with a 24-bit depth and 8-bit stencil
// buffer, and the given colour depth.
inline PIXELFORMATDESCRIPTOR GlPixelFormat(BYTE colorBits) {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = colorBits;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

#include "platform/GlFont.h"

#include <cstdio>

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>
// <GL/gl.h> needs <windows.h> first.
#include <GL/gl.h>

bool BuildGlFontLists(const char* face, int cellHeight, int weight, unsigned listBase) {
    HDC dc = wglGetCurrentDC();
    if (dc == nullptr) {
        std::fprintf(stderr, "quorvax: no OpenGL context for the font; text is not drawn\n");
        return false;
    }
    // A positive height is the character cell, as the game asks for it;
    // character set 0 is the ANSI code page the texts are written in.
    HFONT font = CreateFontA(cellHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face);
    if (font == nullptr) {
        std::fprintf(stderr, "quorvax: no font \"%s\"; text is not drawn\n", face);
        return false;
    }
    HGDIOBJ previous = SelectObject(dc, font);
    // The first call after a context is made can fail on some drivers; once more is enough.
    bool built = wglUseFontBitmapsA(dc, 0, 255, listBase) != FALSE ||
                 wglUseFontBitmapsA(dc, 0, 255, listBase) != FALSE;
    SelectObject(dc, previous);
    DeleteObject(font);
    if (!built) {
        std::fprintf(stderr, "quorvax: cannot build the font lists; text is not drawn\n");
        return false;
    }
    // Byte 255 has no glyph. Its list exists but is empty, so the number is
    // never handed out by glGenLists and the byte really draws nothing.
    glNewList(listBase + 255, GL_COMPILE);
    glEndList();
    return true;
}

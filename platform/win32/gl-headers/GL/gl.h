#pragma once
// Windows' GL/gl.h pulls in all of windows.h for two words. The game's
// drawing code includes GL/gl.h; given these two it stays free of windows.h
// and its macros (MessageBox, Sleep, GetTickCount, min, max), which would
// collide with the game's own names. The Windows backend includes windows.h
// first and gets the system's definitions.
#if !defined(APIENTRY) && !defined(WINGDIAPI)
#define APIENTRY __stdcall
#define WINGDIAPI __declspec(dllimport)
#define QUORVAX_GL_WORDS
#endif
#include_next <GL/gl.h>
#ifdef QUORVAX_GL_WORDS
#undef APIENTRY
#undef WINGDIAPI
#undef QUORVAX_GL_WORDS
#endif

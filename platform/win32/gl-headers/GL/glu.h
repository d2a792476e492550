#pragma once
// GLU's header wants windows.h for its calling-convention words; see GL/gl.h
// beside this file.
#if !defined(APIENTRY) && !defined(WINGDIAPI) && !defined(CALLBACK)
#define APIENTRY __stdcall
#define WINGDIAPI __declspec(dllimport)
#define CALLBACK __stdcall
#define QUORVAX_GLU_WORDS
#endif
#include <GL/gl.h>
#include_next <GL/glu.h>
#ifdef QUORVAX_GLU_WORDS
#undef APIENTRY
#undef WINGDIAPI
#undef CALLBACK
#undef QUORVAX_GLU_WORDS
#endif

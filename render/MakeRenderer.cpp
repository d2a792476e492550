#include <memory>

#include "render/Renderer.h"

// The browser has no fixed function; the Windows build has no OpenGL ES.
#if defined(__EMSCRIPTEN__)
#include "render/Gles2Renderer.h"
#define QUORVAX_HAS_GL11 0
#define QUORVAX_HAS_GLES2 1
#elif defined(_WIN32)
#include "render/GlRenderer.h"
#define QUORVAX_HAS_GL11 1
#define QUORVAX_HAS_GLES2 0
#else
#include "render/GlRenderer.h"
#include "render/Gles2Renderer.h"
#define QUORVAX_HAS_GL11 1
#define QUORVAX_HAS_GLES2 1
#endif

bool Renderer::Available(RendererKind kind) {
    switch (kind) {
        case RendererKind::Default:
            return true;
        case RendererKind::Gl11:
            return QUORVAX_HAS_GL11 != 0;
        case RendererKind::Gles2:
            return QUORVAX_HAS_GLES2 != 0;
    }
    return false;
}

std::unique_ptr<Renderer> Renderer::Make(RendererKind kind) {
#if QUORVAX_HAS_GLES2
    if (kind == RendererKind::Gles2 || (kind == RendererKind::Default && !QUORVAX_HAS_GL11)) {
        return std::make_unique<Gles2Renderer>();
    }
#endif
#if QUORVAX_HAS_GL11
    if (kind != RendererKind::Gles2) {
        return std::make_unique<GlRenderer>();
    }
#endif
    return nullptr;
}

#include "platform/linux/EglOffscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

namespace {

EGLDisplay OpenDisplay() {
    static EGLDisplay display = EGL_NO_DISPLAY;
    static bool tried = false;
    if (tried) {
        return display;
    }
    tried = true;
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return display;
    }
    EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (d != EGL_NO_DISPLAY && eglInitialize(d, &major, &minor)) {
        display = d;
    }
    return display;
}

}  // namespace

std::unique_ptr<OffscreenGl> OffscreenGl::Make(GlApi api) {
    return std::make_unique<EglOffscreen>(api);
}

EglOffscreen::~EglOffscreen() {
    Release();
}

bool EglOffscreen::Create(int width, int height) {
    Release();
    EGLDisplay display = OpenDisplay();
    if (display == EGL_NO_DISPLAY) {
        return false;
    }
    const bool es2 = api_ == GlApi::Es2;
    const EGLint attribs[] = {EGL_SURFACE_TYPE,
                              EGL_PBUFFER_BIT,
                              EGL_RED_SIZE,
                              8,
                              EGL_GREEN_SIZE,
                              8,
                              EGL_BLUE_SIZE,
                              8,
                              EGL_DEPTH_SIZE,
                              24,
                              EGL_STENCIL_SIZE,
                              8,
                              EGL_RENDERABLE_TYPE,
                              es2 ? EGL_OPENGL_ES2_BIT : EGL_OPENGL_BIT,
                              EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attribs, &config, 1, &count) || count < 1) {
        return false;
    }
    if (!eglBindAPI(es2 ? EGL_OPENGL_ES_API : EGL_OPENGL_API)) {
        return false;
    }
    const EGLint es2Attribs[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    EGLContext context =
        eglCreateContext(display, config, EGL_NO_CONTEXT, es2 ? es2Attribs : nullptr);
    if (context == EGL_NO_CONTEXT) {
        return false;
    }
    display_ = display;
    config_ = config;
    context_ = context;
    if (!MakeSurface(width, height)) {
        Release();
        return false;
    }
    return true;
}

bool EglOffscreen::MakeSurface(int width, int height) {
    if (width < 1) {
        width = 1;
    }
    if (height < 1) {
        height = 1;
    }
    const EGLint attribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display_, config_, attribs);
    if (surface == EGL_NO_SURFACE) {
        return false;
    }
    if (!eglMakeCurrent(display_, surface, surface, context_)) {
        eglDestroySurface(display_, surface);
        return false;
    }
    if (surface_ != nullptr) {
        eglDestroySurface(display_, surface_);
    }
    surface_ = surface;
    width_ = width;
    height_ = height;
    return true;
}

bool EglOffscreen::Resize(int width, int height) {
    if (context_ == nullptr) {
        return false;
    }
    if (width == width_ && height == height_) {
        return true;
    }
    return MakeSurface(width, height);
}

// The software renderer draws a flushed frame on its own threads while the
// next one is being recorded. Nothing presents a pbuffer, so without this
// wait a run of fast virtual ticks piles up dozens of frames in flight, each
// holding its binned scene (hundreds of megabytes in all).
void EglOffscreen::Present() const {
    if (context_ != nullptr) {
        glFinish();
    }
}

void EglOffscreen::Release() {
    if (display_ == nullptr) {
        return;
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface_ != nullptr) {
        eglDestroySurface(display_, surface_);
    }
    if (context_ != nullptr) {
        eglDestroyContext(display_, context_);
    }
    surface_ = nullptr;
    context_ = nullptr;
    config_ = nullptr;
    display_ = nullptr;
    width_ = height_ = 0;
}

#include "platform/win32/WglOffscreen.h"

#include <windows.h>
// windows.h first: GL/gl.h then takes the system's words.
#include <GL/gl.h>

#include "platform/win32/GlPixelFormat.h"

namespace {

// GL_EXT_framebuffer_object, which every driver with OpenGL 2 and Wine's
// software path have; the OpenGL 1.1 headers of Windows do not declare it.
constexpr GLenum kFramebuffer = 0x8D40;
constexpr GLenum kRenderbuffer = 0x8D41;
constexpr GLenum kColourAttachment0 = 0x8CE0;
constexpr GLenum kDepthAttachment = 0x8D00;
constexpr GLenum kStencilAttachment = 0x8D20;
constexpr GLenum kDepth24Stencil8 = 0x88F0;
constexpr GLenum kFramebufferComplete = 0x8CD5;

struct FramebufferCalls {
    void(APIENTRY* genFramebuffers)(GLsizei, GLuint*) = nullptr;
    void(APIENTRY* deleteFramebuffers)(GLsizei, const GLuint*) = nullptr;
    void(APIENTRY* bindFramebuffer)(GLenum, GLuint) = nullptr;
    void(APIENTRY* genRenderbuffers)(GLsizei, GLuint*) = nullptr;
    void(APIENTRY* deleteRenderbuffers)(GLsizei, const GLuint*) = nullptr;
    void(APIENTRY* bindRenderbuffer)(GLenum, GLuint) = nullptr;
    void(APIENTRY* renderbufferStorage)(GLenum, GLenum, GLsizei, GLsizei) = nullptr;
    void(APIENTRY* framebufferRenderbuffer)(GLenum, GLenum, GLenum, GLuint) = nullptr;
    GLenum(APIENTRY* checkFramebufferStatus)(GLenum) = nullptr;

    // With the context current; false when the driver lacks any of them.
    bool Load() {
        return Get(genFramebuffers, "glGenFramebuffersEXT") &&
               Get(deleteFramebuffers, "glDeleteFramebuffersEXT") &&
               Get(bindFramebuffer, "glBindFramebufferEXT") &&
               Get(genRenderbuffers, "glGenRenderbuffersEXT") &&
               Get(deleteRenderbuffers, "glDeleteRenderbuffersEXT") &&
               Get(bindRenderbuffer, "glBindRenderbufferEXT") &&
               Get(renderbufferStorage, "glRenderbufferStorageEXT") &&
               Get(framebufferRenderbuffer, "glFramebufferRenderbufferEXT") &&
               Get(checkFramebufferStatus, "glCheckFramebufferStatusEXT");
    }

    template <typename F>
    static bool Get(F& f, const char* name) {
        f = reinterpret_cast<F>(reinterpret_cast<void*>(wglGetProcAddress(name)));
        return f != nullptr;
    }
};

FramebufferCalls g_fbo;

constexpr const char* kWindowClass = "QuorvaxOffscreenGl";

bool RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kWindowClass;
        return RegisterClassA(&wc) != 0;
    }();
    return registered;
}

}  // namespace

std::unique_ptr<OffscreenGl> OffscreenGl::Make(GlApi /*api*/) {
    return std::make_unique<WglOffscreen>();
}

WglOffscreen::~WglOffscreen() {
    Release();
}

bool WglOffscreen::Create(int width, int height) {
    Release();
    if (!RegisterWindowClass()) {
        return false;
    }
    HWND window = CreateWindowA(kWindowClass, "Quorvax offscreen", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        return false;
    }
    window_ = window;
    HDC dc = GetDC(window);
    dc_ = dc;
    PIXELFORMATDESCRIPTOR pfd = GlPixelFormat(32);
    const int format = dc != nullptr ? ChoosePixelFormat(dc, &pfd) : 0;
    if (format == 0 || !SetPixelFormat(dc, format, &pfd)) {
        Release();
        return false;
    }
    HGLRC context = wglCreateContext(dc);
    if (context == nullptr) {
        Release();
        return false;
    }
    context_ = context;
    if (!wglMakeCurrent(dc, context) || !g_fbo.Load() || !MakeFramebuffer(width, height)) {
        Release();
        return false;
    }
    // A context starts with the viewport and scissor box of its first
    // surface, which is the 1 x 1 hidden window here; as on a pbuffer of
    // this size, they start over the whole picture.
    glViewport(0, 0, width_, height_);
    glScissor(0, 0, width_, height_);
    return true;
}

bool WglOffscreen::MakeFramebuffer(int width, int height) {
    width = width < 1 ? 1 : width;
    height = height < 1 ? 1 : height;
    DeleteFramebuffer();
    g_fbo.genRenderbuffers(1, &colour_);
    g_fbo.bindRenderbuffer(kRenderbuffer, colour_);
    g_fbo.renderbufferStorage(kRenderbuffer, GL_RGBA8, width, height);
    g_fbo.genRenderbuffers(1, &depthStencil_);
    g_fbo.bindRenderbuffer(kRenderbuffer, depthStencil_);
    g_fbo.renderbufferStorage(kRenderbuffer, kDepth24Stencil8, width, height);
    g_fbo.genFramebuffers(1, &framebuffer_);
    g_fbo.bindFramebuffer(kFramebuffer, framebuffer_);
    g_fbo.framebufferRenderbuffer(kFramebuffer, kColourAttachment0, kRenderbuffer, colour_);
    g_fbo.framebufferRenderbuffer(kFramebuffer, kDepthAttachment, kRenderbuffer, depthStencil_);
    g_fbo.framebufferRenderbuffer(kFramebuffer, kStencilAttachment, kRenderbuffer, depthStencil_);
    if (g_fbo.checkFramebufferStatus(kFramebuffer) != kFramebufferComplete) {
        DeleteFramebuffer();
        return false;
    }
    // Drawing and reading both go to the framebuffer object's one colour buffer.
    glDrawBuffer(kColourAttachment0);
    glReadBuffer(kColourAttachment0);
    width_ = width;
    height_ = height;
    return true;
}

void WglOffscreen::DeleteFramebuffer() {
    if (framebuffer_ != 0) {
        g_fbo.bindFramebuffer(kFramebuffer, 0);
        g_fbo.deleteFramebuffers(1, &framebuffer_);
    }
    if (colour_ != 0) {
        g_fbo.deleteRenderbuffers(1, &colour_);
    }
    if (depthStencil_ != 0) {
        g_fbo.deleteRenderbuffers(1, &depthStencil_);
    }
    framebuffer_ = colour_ = depthStencil_ = 0;
}

bool WglOffscreen::Resize(int width, int height) {
    if (context_ == nullptr) {
        return false;
    }
    if (width == width_ && height == height_) {
        return true;
    }
    return MakeFramebuffer(width, height);
}

// As on Linux: a run of fast virtual ticks must not pile up frames in flight.
void WglOffscreen::Present() const {
    if (context_ != nullptr) {
        glFinish();
    }
}

void WglOffscreen::Release() {
    if (context_ != nullptr) {
        DeleteFramebuffer();
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(static_cast<HGLRC>(context_));
    }
    if (dc_ != nullptr) {
        ReleaseDC(static_cast<HWND>(window_), static_cast<HDC>(dc_));
    }
    if (window_ != nullptr) {
        DestroyWindow(static_cast<HWND>(window_));
    }
    context_ = dc_ = window_ = nullptr;
    width_ = height_ = 0;
}

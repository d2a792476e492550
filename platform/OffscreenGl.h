#pragma once

#include <memory>

// Which OpenGL an offscreen context speaks.
enum class GlApi {
    Compatibility,  // OpenGL with the fixed function
    Es2,            // OpenGL ES 2.0 (Linux only: quorvax-replay --renderer gles2)
};

// An OpenGL context drawing into an offscreen surface that can be read back,
// for the virtual system (tests and replays). Each backend gives its own:
// EGL's surfaceless platform on Linux, a hidden window's WGL context with a
// framebuffer object on Windows.
class OffscreenGl {
  public:
    virtual ~OffscreenGl() = default;

    // The backend's kind; made by VirtualSystem's constructor. Windows has
    // only the compatibility context and gives it for either.
    static std::unique_ptr<OffscreenGl> Make(GlApi api);

    // Makes a context of the API with 8/8/8 colour, 24 depth and 8 stencil bits and a
    // surface of the given size, current on this thread. False when the
    // system cannot give one.
    virtual bool Create(int width, int height) = 0;
    // Gives the current context a new surface of the new size.
    virtual bool Resize(int width, int height) = 0;
    // Makes nothing current and deletes the context and surface.
    virtual void Release() = 0;
    // Waits until everything drawn so far is in the surface, as a window's
    // buffer swap waits for the frame it shows. Called by the virtual
    // system's SwapBuffers at the end of every frame.
    virtual void Present() const = 0;
    virtual bool Exists() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

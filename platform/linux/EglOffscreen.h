#pragma once

// An OpenGL compatibility context on an offscreen EGL pbuffer (Mesa's
// surfaceless platform), so the game can draw without a display server.
class EglOffscreen {
  public:
    EglOffscreen() = default;
    ~EglOffscreen();
    EglOffscreen(const EglOffscreen&) = delete;
    EglOffscreen& operator=(const EglOffscreen&) = delete;

    // Makes a context with 8/8/8 colour, 24 depth and 8 stencil bits and a
    // pbuffer of the given size, current on this thread. False when EGL
    // cannot give one.
    bool Create(int width, int height);
    // Gives the current context a new pbuffer of the new size.
    bool Resize(int width, int height);
    // Makes nothing current and deletes the context and surface.
    void Release();
    // Waits until everything drawn so far is in the pbuffer, as a window's
    // buffer swap waits for the frame it shows. Called by the virtual
    // system's SwapBuffers at the end of every frame.
    void Present() const;
    bool Exists() const { return context_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }

  private:
    bool MakeSurface(int width, int height);

    void* display_ = nullptr;
    void* config_ = nullptr;
    void* context_ = nullptr;
    void* surface_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

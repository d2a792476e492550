#pragma once

#include "platform/OffscreenGl.h"

// The virtual system's OpenGL on Windows: a WGL context on a hidden window,
// drawing into a framebuffer object of the requested size (a hidden
// window's own pixels need not exist, and cannot change size without it).
class WglOffscreen : public OffscreenGl {
  public:
    WglOffscreen() = default;
    ~WglOffscreen() override;
    WglOffscreen(const WglOffscreen&) = delete;
    WglOffscreen& operator=(const WglOffscreen&) = delete;

    // OffscreenGl, on a framebuffer object.
    bool Create(int width, int height) override;
    bool Resize(int width, int height) override;
    void Release() override;
    void Present() const override;
    bool Exists() const override { return context_ != nullptr; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }

  private:
    bool MakeFramebuffer(int width, int height);
    void DeleteFramebuffer();

    void* window_ = nullptr;  // HWND, HDC, HGLRC
    void* dc_ = nullptr;
    void* context_ = nullptr;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depthStencil_ = 0;
    int width_ = 0;
    int height_ = 0;
};

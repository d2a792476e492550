#pragma once

#include "platform/OffscreenGl.h"

// An OpenGL compatibility or OpenGL ES 2.0 context on an offscreen EGL
// pbuffer (Mesa's surfaceless platform), so the game can draw without a
// display server.
class EglOffscreen : public OffscreenGl {
  public:
    explicit EglOffscreen(GlApi api = GlApi::Compatibility) : api_(api) {}
    ~EglOffscreen() override;
    EglOffscreen(const EglOffscreen&) = delete;
    EglOffscreen& operator=(const EglOffscreen&) = delete;

    // OffscreenGl, on a pbuffer.
    bool Create(int width, int height) override;
    bool Resize(int width, int height) override;
    void Release() override;
    void Present() const override;
    bool Exists() const override { return context_ != nullptr; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }

  private:
    bool MakeSurface(int width, int height);

    GlApi api_;
    void* display_ = nullptr;
    void* config_ = nullptr;
    void* context_ = nullptr;
    void* surface_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// A page has no offscreen OpenGL: the replay tool built for the browser's
// engine runs without pictures (--headless).
#include "platform/OffscreenGl.h"

std::unique_ptr<OffscreenGl> OffscreenGl::Make(GlApi /*api*/) {
    class None : public OffscreenGl {
      public:
        bool Create(int, int) override { return false; }
        bool Resize(int, int) override { return false; }
        void Release() override {}
        void Present() const override {}
        bool Exists() const override { return false; }
        int Width() const override { return 0; }
        int Height() const override { return 0; }
    };
    return std::make_unique<None>();
}

#include <memory>

#include "platform/OffscreenGl.h"

namespace {

// Under node there is no OpenGL: the replay tool runs there without pictures
// (--headless), and a context asked for all the same is refused.
class NoOffscreenGl : public OffscreenGl {
  public:
    bool Create(int /*width*/, int /*height*/) override { return false; }
    bool Resize(int /*width*/, int /*height*/) override { return false; }
    void Release() override {}
    void Present() const override {}
    bool Exists() const override { return false; }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
};

}  // namespace

std::unique_ptr<OffscreenGl> OffscreenGl::Make() {
    return std::make_unique<NoOffscreenGl>();
}

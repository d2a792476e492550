// A platform that shows and records nothing, for the targets whose reader
// sources also hold message-box calls. The shared System code (the dialog
// stack, the frame pacing) is linked as it is.
#include "platform/System.h"

namespace {

class FuzzSystem final : public System {
  public:
    uint32_t GetTickCount() override { return 0; }
    void Sleep(uint32_t) override {}
    void MessageBox(const char*, const char*) override {}
    void ShowCursor(bool) override {}
    int RunModal(Dialog&) override { return 0; }
    void CreateModeless(Dialog&) override {}
    void SetTimer(Dialog&, unsigned, unsigned) override {}
    void KillTimer(Dialog&, unsigned) override {}
    Rect DesktopRect() override { return Rect{}; }
    void MoveWindow(Dialog&, const Rect&) override {}
    void SetWindowMode(Dialog&, bool) override {}
    void SetWindowIcon(Dialog&, const uint8_t*, int, int) override {}
    GlContextResult CreateGlContext(Dialog&) override { return GlContextResult::NoPixelFormat; }
    void ReleaseGlContext() override {}
    void SwapBuffers() override {}
    std::string ProgramName() override { return "fuzz"; }

  private:
    void CloseWindow(Dialog&) override {}
};

// Installed before the fuzzer runs any input.
const bool g_installed = [] {
    static FuzzSystem system;
    SetSys(&system);
    return true;
}();

}  // namespace

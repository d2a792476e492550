#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Dialog.h"
#include "platform/linux/SdlSystem.h"

namespace {

const DialogTemplate kMain{903, "", 200, 100, true, true, {}};
const DialogTemplate kBox{
    904, "Box", 186, 26, true, false, {{DialogControl::Kind::Edit, 1001, 9, 6, 169, 12, "", false}},
};

// The main window on a real display: its context, then a dialog painted
// in software on top while the main window keeps its context current.
class GlMain : public Dialog {
  public:
    GlMain() : Dialog(kMain) {}
    GlContextResult result = GlContextResult::NoPixelFormat;
    GLint depth = 0, stencil = 0, red = 0;
    GLboolean doubleBuffered = GL_FALSE;
    GLuint list = 0;
    bool listSurvivedDialog = false;
    int ticks = 0;

    bool OnInitDialog() override {
        Sys().MoveWindow(*this, Rect{0, 0, 320, 200});
        result = Sys().CreateGlContext(*this);
        if (result == GlContextResult::Ok) {
            glGetIntegerv(GL_DEPTH_BITS, &depth);
            glGetIntegerv(GL_STENCIL_BITS, &stencil);
            glGetIntegerv(GL_RED_BITS, &red);
            glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
            list = glGenLists(1);
            glNewList(list, GL_COMPILE);
            glEndList();
        }
        SetTimer(1, 20);
        return true;
    }
    void OnTimer(unsigned) override {
        glClear(GL_COLOR_BUFFER_BIT);
        Sys().SwapBuffers();
        if (++ticks == 2) {
            struct Ender : Dialog {
                explicit Ender(const DialogTemplate& t) : Dialog(t) {}
                bool OnInitDialog() override {
                    SetTimer(1, 60);
                    return true;
                }
                void OnTimer(unsigned) override { EndDialog(IDOK); }
            } ender(kBox);
            ender.DoModal();
            // A context of the dialog's own would not know this list.
            listSurvivedDialog = list != 0 && glIsList(list) == GL_TRUE;
            EndDialog(IDOK);
        }
    }
    void OnDestroy() override { Sys().ReleaseGlContext(); }
};

}  // namespace

TEST(SdlGlWindow, MainWindowGetsItsPixelFormatAndKeepsItUnderADialog) {
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs an X display (the test script provides Xvfb)";
    }
    setenv("SDL_VIDEODRIVER", "x11", 1);
    SdlSystem sys;
    ASSERT_TRUE(sys.Init()) << sys.LastError();
    SetSys(&sys);
    GlMain main;
    EXPECT_EQ(main.DoModal(), IDOK);
    SetSys(nullptr);
    ASSERT_EQ(main.result, GlContextResult::Ok);
    EXPECT_GE(main.depth, 24);
    EXPECT_GE(main.stencil, 8);
    EXPECT_GE(main.red, 8);
    EXPECT_TRUE(main.doubleBuffered);
    EXPECT_TRUE(main.listSurvivedDialog) << "painting the dialog took the GL context away";
    unsetenv("SDL_VIDEODRIVER");
}

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/linux/SdlSystem.h"
#include "scores/NameDialog.h"

namespace {

// The name dialog as the real backend opens it, with a look at its window
// once it exists and input pushed as SDL would deliver it.
class WatchedNameDialog : public NameDialog {
  public:
    std::function<void(SDL_Window*)> onOpen;
    bool OnInitDialog() override {
        NameDialog::OnInitDialog();
        SDL_Window* window = nullptr;
        for (Uint32 id = 1; id < 64 && window == nullptr; ++id) {
            SDL_Window* w = SDL_GetWindowFromID(id);
            if (w != nullptr && std::string(SDL_GetWindowTitle(w)) == "Enter Your Name") {
                window = w;
            }
        }
        if (onOpen) {
            onOpen(window);
        }
        return true;
    }
};

void PushText(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8);
    SDL_PushEvent(&e);
}

void PushKey(SDL_Keycode key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
}

class NameDialogSdl : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_TRUE(sys.Init()) << sys.LastError();
        SetSys(&sys);
    }
    void TearDown() override { SetSys(nullptr); }

    SdlSystem sys;
};

}  // namespace

TEST_F(NameDialogSdl, ACentredTopLevelWindowTakesTheTypedName) {
    WatchedNameDialog dlg;
    bool sawWindow = false;
    dlg.onOpen = [&](SDL_Window* w) {
        ASSERT_NE(w, nullptr);
        sawWindow = true;
        int cx = 0, cy = 0, x = 0, y = 0;
        SDL_GetWindowSize(w, &cx, &cy);
        SDL_GetWindowPosition(w, &x, &y);
        EXPECT_EQ(cx, 279);  // 186 x 26 dialog units
        EXPECT_EQ(cy, 42);
        SDL_Rect display{};
        SDL_GetDisplayBounds(0, &display);
        EXPECT_NEAR(x, display.x + (display.w - cx) / 2, 1);
        EXPECT_NEAR(y, display.y + (display.h - cy) / 2, 1);
        EXPECT_EQ(SDL_GetWindowFlags(w) & SDL_WINDOW_BORDERLESS, 0u) << "it has a caption bar";
        PushText("Zo");
        PushText("\xC3\xAB");  // e with diaeresis, one Windows-1252 byte
        PushKey(SDLK_HOME);
        PushKey(SDLK_DELETE);
        PushText("Ch");
        PushKey(SDLK_END);
        PushKey(SDLK_BACKSPACE);
        PushText("\xC3\xA9");
        PushKey(SDLK_RETURN);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(sawWindow);
    EXPECT_EQ(dlg.name, "Cho\xE9");
}

TEST_F(NameDialogSdl, TheCloseBoxAndEscapeLeaveTheNameEmpty) {
    WatchedNameDialog closed;
    closed.onOpen = [](SDL_Window* w) {
        ASSERT_NE(w, nullptr);
        PushText("Bob");
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = SDL_WINDOWEVENT_CLOSE;
        e.window.windowID = SDL_GetWindowID(w);
        SDL_PushEvent(&e);
        PushKey(SDLK_RETURN);  // too late: the dialog is gone
    };
    EXPECT_EQ(closed.DoModal(), IDCANCEL);
    EXPECT_EQ(closed.name, "");
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);

    WatchedNameDialog escaped;
    escaped.onOpen = [](SDL_Window*) {
        PushText("Bob");
        PushKey(SDLK_ESCAPE);
    };
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);
    EXPECT_EQ(escaped.name, "");
}

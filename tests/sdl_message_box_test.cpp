#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/Dialog.h"
#include "platform/InputTap.h"
#include "platform/Message.h"
#include "platform/linux/SdlSystem.h"

namespace {

constexpr const char* kCaption = "Quorvax message";
// Long enough to need two lines.
constexpr const char* kText =
    "The picture file could not be read, so the board is drawn without it. Check that the "
    "file is there and not damaged.";

const DialogTemplate kTicker{905, "ticker", 100, 50, false, false, {}};

class Ticker : public Dialog {
  public:
    Ticker() : Dialog(kTicker) {}
    std::function<void()> onTimer;
    bool OnInitDialog() override {
        SetTimer(1, 10);
        return true;
    }
    void OnTimer(unsigned) override { onTimer(); }
};

SDL_Window* FindWindow(const char* title) {
    for (Uint32 id = 1; id < 256; ++id) {
        SDL_Window* w = SDL_GetWindowFromID(id);
        if (w != nullptr && std::string(SDL_GetWindowTitle(w)) == title) {
            return w;
        }
    }
    return nullptr;
}

bool DarkAt(SDL_Surface* s, int x, int y) {
    const auto* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(reinterpret_cast<const Uint32*>(row)[x], s->format, &r, &g, &b);
    return r < 100 && g < 100 && b < 100;
}

int DarkInRows(SDL_Surface* s, int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < s->w; ++x) {
            n += DarkAt(s, x, y) ? 1 : 0;
        }
    }
    return n;
}

// The top row of the OK button's dark frame: the first row from the
// bottom half down with a run of 70 or more dark pixels centred in the box.
int OkFrameTop(SDL_Surface* s) {
    for (int y = s->h / 2; y < s->h; ++y) {
        int run = 0;
        for (int x = 0; x < s->w; ++x) {
            run = DarkAt(s, x, y) ? run + 1 : 0;
            if (run >= 70 && std::abs(x - run / 2 - s->w / 2) <= 2) {
                return y;
            }
        }
    }
    return -1;
}

void PushKey(SDL_Keycode key, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

void PushClick(SDL_Window* w, int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.windowID = SDL_GetWindowID(w);
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

// Counts the keys it is shown and drops them all, as a playback holds the
// player's keys back.
struct HoldingTap : InputTap {
    int seen = 0;
    bool OnInput(const Message&) override {
        ++seen;
        return false;
    }
};

class SdlMessageBox : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "needs an X display (the test script provides Xvfb)";
        }
        setenv("SDL_VIDEODRIVER", "x11", 1);
        ASSERT_TRUE(sys.Init()) << sys.LastError();
        SetSys(&sys);
    }
    void TearDown() override {
        SetSys(nullptr);
        unsetenv("SDL_VIDEODRIVER");
    }
    SdlSystem sys;
};

}  // namespace

// The box drawn on the display (wrapped text, the default OK button),
// centred on display 0 while no main window is shown, answered in each way
// a player can while the window behind it keeps ticking. A click beside OK
// does not answer it. Its input never reaches the input tap (message boxes
// stay out of recordings), so every answer works also during a playback
// that holds the player's keys back.
TEST_F(SdlMessageBox, DrawnCentredAndAnsweredEachWayWhileTicksGoOn) {
    enum class Way { Enter, Escape, Space, Click, CloseBox, AltF4 };
    HoldingTap tap;
    sys.SetInputTap(&tap);
    for (Way way : {Way::Enter, Way::Escape, Way::Space, Way::Click, Way::CloseBox, Way::AltF4}) {
        SCOPED_TRACE(static_cast<int>(way));
        Ticker ticker;
        int ticks = 0, ticksWhileOpen = 0, step = 0;
        bool open = false;
        ticker.onTimer = [&] {
            ++ticks;
            if (!open) {
                if (ticks == 2) {
                    open = true;
                    Sys().MessageBox(kText, kCaption);
                    open = false;
                    ticker.EndDialog(IDOK);
                }
                return;
            }
            ++ticksWhileOpen;
            SDL_Window* w = FindWindow(kCaption);
            SDL_Surface* s = w != nullptr ? SDL_GetWindowSurface(w) : nullptr;
            if (s == nullptr || ticksWhileOpen < 3) {
                return;
            }
            const int okTop = OkFrameTop(s);
            if (step == 0) {
                step = 1;
                SDL_Rect display{};
                SDL_GetDisplayBounds(0, &display);
                int x = 0, y = 0;
                SDL_GetWindowPosition(w, &x, &y);
                EXPECT_NEAR(x, (display.w - s->w) / 2, 1);
                EXPECT_NEAR(y, (display.h - s->h) / 2, 1);
                EXPECT_FALSE(DarkAt(s, 1, 1)) << "grey face";
                EXPECT_GT(DarkInRows(s, 16, 29), 40) << "first line of text";
                EXPECT_GT(DarkInRows(s, 29, 42), 40) << "second line of text";
                ASSERT_GT(okTop, 42) << "the OK button below the text";
                EXPECT_GT(DarkInRows(s, okTop + 5, okTop + 17), 20) << "\"OK\" on the button";
                if (way == Way::Click) {
                    PushClick(w, s->w / 2 - 40, okTop + 10);
                }
            } else if (step == 1 && ticksWhileOpen >= 8) {
                step = 2;
                switch (way) {
                    case Way::Enter:
                        PushKey(SDLK_RETURN);
                        break;
                    case Way::Escape:
                        PushKey(SDLK_ESCAPE);
                        break;
                    case Way::Space:
                        PushKey(SDLK_SPACE);
                        break;
                    case Way::Click:
                        PushClick(w, s->w / 2, okTop + 10);
                        break;
                    case Way::CloseBox: {
                        SDL_Event e{};
                        e.type = SDL_WINDOWEVENT;
                        e.window.event = SDL_WINDOWEVENT_CLOSE;
                        e.window.windowID = SDL_GetWindowID(w);
                        SDL_PushEvent(&e);
                        break;
                    }
                    case Way::AltF4:
                        PushKey(SDLK_F4, KMOD_LALT);
                        break;
                }
            } else if (ticksWhileOpen == 300) {
                ADD_FAILURE() << "the box did not close";
                SDL_Event quit{};
                quit.type = SDL_QUIT;
                SDL_PushEvent(&quit);
            }
        };
        EXPECT_EQ(ticker.DoModal(), IDOK);
        EXPECT_EQ(step, 2);
        EXPECT_GE(ticksWhileOpen, 8) << "the timer behind the box kept ticking";
        EXPECT_LT(ticksWhileOpen, 20) << "the answer closed it at once";
        EXPECT_EQ(FindWindow(kCaption), nullptr);
    }
    EXPECT_EQ(tap.seen, 0);
    sys.SetInputTap(nullptr);
}

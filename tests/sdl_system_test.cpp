#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Keys.h"
#include "platform/linux/QuitSignals.h"
#include "platform/linux/SdlKeyMap.h"
#include "platform/linux/SdlSystem.h"

namespace {

const DialogTemplate kHidden{900, "hidden", 100, 50, false, false, {}};
const DialogTemplate kVisible{
    901,
    "Visible",
    186,
    26,
    true,
    false,
    {{DialogControl::Kind::Edit, 1001, 9, 6, 169, 12, "", false}},
};
const DialogTemplate kGlHost{902, "", 200, 100, true, true, {}};

// A dialog whose handlers are set by each test.
class TestDialog : public Dialog {
  public:
    explicit TestDialog(const DialogTemplate& t = kHidden) : Dialog(t) {}
    std::function<void()> onInit;
    std::function<void(unsigned)> onTimer;
    std::vector<Message> messages;
    std::vector<std::string>* log = nullptr;
    std::string name = "dialog";
    int destroyed = 0;
    int sizes = 0;
    int lastCx = -1, lastCy = -1;

    bool OnInitDialog() override {
        if (onInit) {
            onInit();
        }
        return true;
    }
    void OnTimer(unsigned id) override {
        if (onTimer) {
            onTimer(id);
        }
    }
    void OnDestroy() override { ++destroyed; }
    void OnSize(int cx, int cy) override {
        ++sizes;
        lastCx = cx;
        lastCy = cy;
    }
    void OnCancel() override {
        if (log != nullptr) {
            log->push_back(name + " cancel");
        }
        Dialog::OnCancel();
    }
    bool PreTranslateMessage(const Message& msg) override {
        messages.push_back(msg);
        return Dialog::PreTranslateMessage(msg);
    }
};

void Push(const SDL_Event& e) {
    SDL_Event copy = e;
    SDL_PushEvent(&copy);
}

void PushKey(Uint32 type, SDL_Keycode key) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = key;
    Push(e);
}

class SdlSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_TRUE(sys.Init()) << sys.LastError();
        SetSys(&sys);
    }
    void TearDown() override { SetSys(nullptr); }

    // Milliseconds of the real clock, for checking intervals.
    uint64_t Ms() { return sys.GetTickCount(); }

    SdlSystem sys;
};

}  // namespace

TEST_F(SdlSystemTest, TimersFireInDueOrderAndNeverInABurst) {
    TestDialog dlg;
    std::vector<std::pair<unsigned, uint32_t>> fired;
    uint32_t start = 0;
    int slowTicks = 0;
    dlg.onInit = [&] {
        start = Ms();
        dlg.SetTimer(1, 20);
        dlg.SetTimer(2, 50);
    };
    dlg.onTimer = [&](unsigned id) {
        fired.emplace_back(id, Ms());
        if (id == 1 && slowTicks++ == 1) {
            Sys().Sleep(75);  // a tick that blocks for almost four periods
        }
        if (id == 2 && std::count_if(fired.begin(), fired.end(),
                                     [](const auto& f) { return f.first == 2; }) == 2) {
            dlg.EndDialog(7);
        }
    };
    EXPECT_EQ(dlg.DoModal(), 7);
    ASSERT_GE(fired.size(), 3u);
    EXPECT_EQ(fired[0].first, 1u) << "the shorter period falls due first";
    EXPECT_GE(fired[0].second - start, 19u);
    // The sleep made both timers late. Each fires once when it is over and
    // then runs a full period from there: timer 2 never twice in a row, and
    // timer 1 skipped the periods it missed instead of making them up.
    std::vector<uint32_t> second;
    int firstCount = 0;
    for (const auto& [id, at] : fired) {
        if (id == 2) {
            second.push_back(at);
        } else {
            ++firstCount;
        }
    }
    ASSERT_EQ(second.size(), 2u);
    EXPECT_GE(second[1] - second[0], 49u);
    const uint32_t total = second[1] - start;
    EXPECT_LE(firstCount, static_cast<int>(total / 20) - 2) << "over " << total << " ms";
    EXPECT_EQ(dlg.destroyed, 1);
    EXPECT_FALSE(dlg.IsOpen());
}

TEST_F(SdlSystemTest, KilledTimerNeverFiresAndEndingKillsTheRest) {
    TestDialog dlg;
    std::vector<unsigned> fired;
    dlg.onInit = [&] {
        dlg.SetTimer(1, 10);
        dlg.SetTimer(2, 30);
        dlg.SetTimer(3, 80);
    };
    dlg.onTimer = [&](unsigned id) {
        fired.push_back(id);
        if (id == 1) {
            dlg.KillTimer(1);
            dlg.KillTimer(2);
        } else {
            dlg.EndDialog(IDOK);
        }
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(fired, (std::vector<unsigned>{1, 3}));

    // The dialog's window and timers are gone: a second run starts afresh.
    fired.clear();
    dlg.onInit = [&] { dlg.SetTimer(3, 5); };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(fired, (std::vector<unsigned>{3}));
    EXPECT_EQ(dlg.destroyed, 2);
}

TEST_F(SdlSystemTest, NestedModalLoopKeepsTheOuterWindowTicking) {
    TestDialog outer;
    TestDialog inner;
    int outerTicks = 0;
    int outerTicksDuringInner = 0;
    bool innerOpen = false;
    outer.onInit = [&] { outer.SetTimer(17682, 10); };
    outer.onTimer = [&](unsigned) {
        ++outerTicks;
        if (innerOpen) {
            ++outerTicksDuringInner;
            return;
        }
        if (outerTicks == 3) {
            innerOpen = true;
            inner.DoModal();  // opened inside a tick, as the name dialog is
            innerOpen = false;
            outer.EndDialog(IDOK);
        }
    };
    int innerTicks = 0;
    inner.onInit = [&] { inner.SetTimer(1, 30); };
    inner.onTimer = [&](unsigned) {
        if (++innerTicks == 3) {
            inner.EndDialog(IDOK);
        }
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(innerTicks, 3);
    EXPECT_GE(outerTicksDuringInner, 2) << "about 90 ms of a 10 ms timer";
    EXPECT_EQ(inner.destroyed, 1);
    EXPECT_EQ(outer.destroyed, 1);
}

TEST_F(SdlSystemTest, KeysGoToTheInnermostModalDialogOnly) {
    TestDialog outer;
    TestDialog inner;
    outer.onInit = [&] { outer.SetTimer(1, 5); };
    inner.onInit = [&] {
        PushKey(SDL_KEYDOWN, SDLK_LCTRL);
        PushKey(SDL_KEYUP, SDLK_LCTRL);
        SDL_Event text{};
        text.type = SDL_TEXTINPUT;
        std::snprintf(text.text.text, sizeof text.text.text, "%s", "x");
        Push(text);
        PushKey(SDL_KEYDOWN, SDLK_CAPSLOCK);  // no code: not delivered
        PushKey(SDL_KEYDOWN, SDLK_ESCAPE);    // the dialog manager cancels
    };
    int innerResult = 0;
    outer.onTimer = [&](unsigned) {
        if (inner.messages.empty()) {
            innerResult = inner.DoModal();
            PushKey(SDL_KEYDOWN, SDLK_RETURN);
        }
    };
    EXPECT_EQ(outer.DoModal(), IDOK) << "Enter reaches the outer dialog once the inner one is gone";
    EXPECT_EQ(innerResult, IDCANCEL);
    ASSERT_EQ(inner.messages.size(), 4u);
    EXPECT_EQ(inner.messages[0].kind, MessageKind::KeyDown);
    EXPECT_EQ(inner.messages[0].key, VK_CONTROL);
    EXPECT_EQ(inner.messages[1].kind, MessageKind::KeyUp);
    EXPECT_EQ(inner.messages[2].kind, MessageKind::Text);
    EXPECT_EQ(inner.messages[2].text, "x");
    EXPECT_EQ(inner.messages[3].key, VK_ESCAPE);
    ASSERT_EQ(outer.messages.size(), 1u);
    EXPECT_EQ(outer.messages[0].key, VK_RETURN);
}

TEST_F(SdlSystemTest, QuitCancelsEveryModalDialogFromTheTopDown) {
    std::vector<std::string> log;
    TestDialog outer;
    TestDialog inner;
    outer.log = inner.log = &log;
    outer.name = "outer";
    inner.name = "inner";
    outer.onInit = [&] { outer.SetTimer(1, 5); };
    outer.onTimer = [&](unsigned) {
        if (!inner.IsOpen() && log.empty()) {
            inner.DoModal();
            log.push_back("inner returned");
        }
    };
    inner.onInit = [&] {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        Push(quit);
    };
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_EQ(log, (std::vector<std::string>{"inner cancel", "outer cancel", "inner returned"}));
    EXPECT_EQ(outer.destroyed, 1);

    // The program is ending: a dialog opened afterwards closes at once.
    TestDialog late;
    late.onInit = [&] { late.SetTimer(1, 1000); };
    EXPECT_EQ(late.DoModal(), IDCANCEL);
}

// A quit signal that comes in a tick, before any loop has looked for one,
// while that tick opens a dialog: that dialog closes at once and so does
// every loop under it. (The signal's note stays for the whole process, so
// the case runs in a child of its own.)
TEST_F(SdlSystemTest, QuitSignalBeforeANestedDialogEndsEveryLoop) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QuitSignals::Install();
            TestDialog outer;
            TestDialog inner;
            int ticks = 0;
            outer.onInit = [&] { outer.SetTimer(1, 5); };
            outer.onTimer = [&](unsigned) {
                if (++ticks == 1) {
                    std::raise(SIGTERM);
                    inner.DoModal();
                } else if (ticks > 50) {
                    outer.EndDialog(IDOK);  // the signal was missed
                }
            };
            const int result = outer.DoModal();
            std::exit(result == IDCANCEL && inner.Result() == IDCANCEL && ticks == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(SdlSystemTest, AltF4ClosesOnlyTheInnermostDialog) {
    std::vector<std::string> log;
    TestDialog outer;
    TestDialog inner;
    outer.log = inner.log = &log;
    outer.name = "outer";
    inner.name = "inner";
    outer.onInit = [&] { outer.SetTimer(1, 5); };
    outer.onTimer = [&](unsigned) {
        if (log.empty()) {
            inner.DoModal();
            outer.EndDialog(IDOK);
        }
    };
    inner.onInit = [&] {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = SDLK_F4;
        e.key.keysym.mod = KMOD_LALT;
        Push(e);
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(log, (std::vector<std::string>{"inner cancel"}));
    // It goes in as Escape, so that a recording holds it; F4 itself does not.
    ASSERT_EQ(inner.messages.size(), 2u);
    EXPECT_EQ(inner.messages[0].key, VK_ESCAPE);
    EXPECT_EQ(inner.messages[1].kind, MessageKind::KeyUp);
}

TEST_F(SdlSystemTest, WindowsWithoutAPixelFormatStillOpen) {
    // The dummy video driver has no OpenGL: the main window opens without it.
    TestDialog main(kGlHost);
    GlContextResult gl = GlContextResult::Ok;
    main.onInit = [&] {
        const Rect desktop = Sys().DesktopRect();
        EXPECT_GT(desktop.Width(), 0);
        Sys().MoveWindow(main, desktop);
        EXPECT_EQ(main.lastCx, desktop.Width());
        EXPECT_EQ(main.lastCy, desktop.Height());
        gl = Sys().CreateGlContext(main);
        Sys().SwapBuffers();  // nothing to swap, and no harm
        main.SetTimer(1, 10);
    };
    TestDialog box(kVisible);
    box.onInit = [&] {
        box.SetItemText(1001, "typed name");
        box.SetTimer(1, 30);
    };
    box.onTimer = [&](unsigned) { box.EndDialog(IDOK); };
    main.onTimer = [&](unsigned) {
        if (box.destroyed == 0 && !box.IsOpen()) {
            box.DoModal();
            main.EndDialog(IDOK);
        }
    };
    EXPECT_EQ(main.DoModal(), IDOK);
    EXPECT_EQ(gl, GlContextResult::NoPixelFormat);
    EXPECT_GE(main.sizes, 1);
    EXPECT_FALSE(box.dirty) << "the dialog was painted";
    Sys().ReleaseGlContext();
}

TEST_F(SdlSystemTest, ClockAndProgramName) {
    const uint32_t t0 = sys.GetTickCount();
    sys.Sleep(30);
    const uint32_t elapsed = sys.GetTickCount() - t0;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 1000u);
    EXPECT_EQ(sys.ProgramName(), "quorvax_tests");
    sys.MessageBox("shown on stderr without a display", "quorvax_tests");
}

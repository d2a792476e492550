// The Windows backend's own behaviour, under Windows or Wine: the tick, key
// messages, the GL context and its font, the system menu, message boxes,
// the name dialog, the scores file and the launcher.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/AboutBox.h"
#include "platform/Dialog.h"
#include "platform/GlFont.h"
#include "platform/InputBindings.h"
#include "platform/InputTap.h"
#include "platform/Keys.h"
#include "platform/Message.h"
#include "platform/PhysicalKeys.h"
#include "platform/win32/Win32DialogTemplate.h"
#include "platform/win32/Win32Gamepads.h"
#include "platform/win32/Win32KeyMap.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32System.h"
#include "res/Resources.h"
#include "scores/NameDialog.h"
#include "scores/ScoreTable.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>
// <GL/gl.h> needs <windows.h> first.
#include <GL/gl.h>
// <xinput.h> needs <windows.h> first.
#include <xinput.h>
#undef MessageBox

namespace {

const DialogTemplate kGlWindow{1, "", 200, 120, true, true, {}};

class Win32Backend : public ::testing::Test {
  protected:
    void SetUp() override {
        system.Init();
        SetSys(&system);
    }
    void TearDown() override { SetSys(nullptr); }

    HWND Hwnd(const Dialog& dlg) const { return static_cast<HWND>(system.WindowOf(dlg)); }

    // Waits on another thread for the top-level window with this caption,
    // then does to it what a player would.
    static std::thread Answer(const wchar_t* caption, std::function<void(HWND)> act) {
        return std::thread([caption, act] {
            for (int i = 0; i < 500; ++i) {
                if (HWND w = FindWindowW(nullptr, caption); w != nullptr && IsWindowVisible(w)) {
                    act(w);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }

    Win32System system;
};

// A window whose OnInitDialog runs the test's body, then ends.
class ProbeWindow : public Dialog {
  public:
    explicit ProbeWindow(std::function<void(ProbeWindow&)> body)
        : Dialog(kGlWindow), body_(std::move(body)) {}
    bool OnInitDialog() override {
        body_(*this);
        return true;
    }
    bool PreTranslateMessage(const Message& msg) override {
        got.push_back(msg);
        return Dialog::PreTranslateMessage(msg);
    }
    bool OnSysCommand(unsigned id) override {
        if ((id & 0xFFF0) != IDM_ABOUTBOX) {
            return false;
        }
        AboutBox about;
        aboutResult = about.DoModal();
        EndDialog(IDOK);
        return true;
    }
    void OnTimer(unsigned) override {
        ticks.push_back(std::chrono::steady_clock::now());
        if (ticks.size() > 30) {
            EndDialog(IDOK);
        }
    }
    std::vector<std::chrono::steady_clock::time_point> ticks;
    std::vector<Message> got;  // what PreTranslateMessage saw
    int aboutResult = 0;

  private:
    std::function<void(ProbeWindow&)> body_;
};

TEST(Win32KeyMap, KeyMessagesBecomeGameKeysAndAltKeysDoNot) {
    constexpr intptr_t kRepeat = 1 << 30;
    constexpr intptr_t kAlt = 1 << 29;
    const struct {
        UINT msg;
        WPARAM key;
        intptr_t lp;
        bool delivered;
        MessageKind kind;
        bool repeat;
        bool alt;
    } cases[] = {
        {WM_KEYDOWN, VK_UP, 0, true, MessageKind::KeyDown, false, false},
        {WM_KEYDOWN, VK_CONTROL, kRepeat, true, MessageKind::KeyDown, true, false},
        {WM_KEYUP, VK_SHIFT, kRepeat, true, MessageKind::KeyUp, false, false},
        {WM_SYSKEYDOWN, VK_UP, kAlt, false, MessageKind::KeyDown, false, false},
        {WM_SYSKEYDOWN, VK_MENU, kAlt, false, MessageKind::KeyDown, false, false},
        {WM_SYSKEYDOWN, VK_RETURN, kAlt, true, MessageKind::KeyDown, false, true},
        {WM_SYSKEYUP, VK_LEFT, kAlt, true, MessageKind::KeyUp, false, false},
        {WM_CHAR, 'a', 0, false, MessageKind::KeyDown, false, false},
    };
    for (const auto& c : cases) {
        Message m;
        SCOPED_TRACE(testing::Message() << "message " << c.msg << " key " << c.key);
        ASSERT_EQ(MessageFromWin32(c.msg, c.key, c.lp, m), c.delivered);
        if (c.delivered) {
            EXPECT_EQ(m.kind, c.kind);
            EXPECT_EQ(m.key, static_cast<int>(c.key));
            EXPECT_EQ(m.repeat, c.repeat);
            EXPECT_EQ(m.alt, c.alt);
        }
    }
}

// Both SHIFT keys come as VK_SHIFT, told apart by the scan code alone (as
// Windows and Wine send them, held or auto-repeated): each is the jump key
// while bound to Jump, and no key once the player moved Jump elsewhere.
TEST(Win32KeyMap, EitherShiftIsTheJumpKeyByItsScanCode) {
    constexpr intptr_t kRepeat = 1 << 30;
    constexpr intptr_t kLeft = 0x2A << 16;
    constexpr intptr_t kRight = 0x36 << 16;
    KeyBindings onZ = KeyBindings::Defaults();
    onZ.Bind(GameAction::Jump, 0, PhysicalKeys::FromCodeName("KeyZ"));
    onZ.Bind(GameAction::Jump, 1, 0);
    const struct {
        UINT msg;
        WPARAM key;
        intptr_t lp;
        bool rebound;
        const char* physical;
        int gameKey;
    } cases[] = {
        {WM_KEYDOWN, VK_SHIFT, kLeft, false, "ShiftLeft", VK_SHIFT},
        {WM_KEYDOWN, VK_SHIFT, kRight | kRepeat, false, "ShiftRight", VK_SHIFT},
        {WM_KEYUP, VK_SHIFT, kRight | kRepeat, false, "ShiftRight", VK_SHIFT},
        {WM_KEYDOWN, VK_SHIFT, kLeft, true, "ShiftLeft", 0},
        {WM_KEYDOWN, 'Z', 0x2C << 16, true, "KeyZ", VK_SHIFT},
        {WM_KEYDOWN, VK_SHIFT, 0, true, "", VK_SHIFT},  // sent without a scan code
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.physical << " lParam " << c.lp);
        Message m;
        ASSERT_TRUE(MessageFromWin32(c.msg, c.key, c.lp, m));
        EXPECT_EQ(PhysicalKeys::CodeName(m.physical), std::string(c.physical));
        const KeyBindings keys = c.rebound ? onZ : KeyBindings::Defaults();
        EXPECT_EQ(GameKeyOfBoundKey(keys, m.physical, m.key), c.gameKey);
    }
}

TEST(Win32Gamepads, XInputPadsTakeTheSharedMappingWithTheStickTurnedOver) {
    const GamepadState s = Win32Gamepads::StateFromXInput(
        XINPUT_GAMEPAD_DPAD_LEFT | XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_START, 1200, -32768);
    EXPECT_TRUE(s.left && s.a && s.start);
    EXPECT_FALSE(s.right || s.up || s.down || s.b || s.x || s.back);
    EXPECT_EQ(s.stickX, 1200);
    EXPECT_EQ(s.stickY, 32767);  // pulled down all the way, in the mapper's sense
    EXPECT_EQ(Win32Gamepads::StateFromXInput(0, 0, 20000).stickY, -20000);
}

TEST_F(Win32Backend, FrameTimerTicksEvery40Ms) {
    ProbeWindow w([](ProbeWindow& self) { self.SetTimer(17682, 40); });
    w.DoModal();
    ASSERT_GT(w.ticks.size(), 20u);
    // The first ticks wait for the window to appear and then catch up;
    // from then on they keep the pace.
    const double ms =
        std::chrono::duration<double, std::milli>(w.ticks.back() - w.ticks[5]).count() /
        static_cast<double>(w.ticks.size() - 6);
    std::printf("tick period: %.2f ms\n", ms);
    EXPECT_NEAR(ms, 40.0, 4.0);
}

TEST_F(Win32Backend, GlContextAndFontListsDrawTextAtItsPixels) {
    constexpr int kW = 320, kH = 200, kX = 20, kBaseline = 60;
    std::vector<uint8_t> text, blank;
    PIXELFORMATDESCRIPTOR pfd{};
    ProbeWindow w([&](ProbeWindow& self) {
        Sys().MoveWindow(self, Rect{0, 0, kW, kH});
        ASSERT_EQ(Sys().CreateGlContext(self), GlContextResult::Ok);
        HDC dc = wglGetCurrentDC();
        DescribePixelFormat(dc, GetPixelFormat(dc), sizeof pfd, &pfd);
        ASSERT_TRUE(BuildGlFontLists("Arial", 30, 700, 1000));
        // The HUD's projection: window pixels, y from the top.
        glViewport(0, 0, kW, kH);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kW, kH, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glListBase(1000);
        const auto draw = [&](const char* s, std::vector<uint8_t>& out) {
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT);
            glColor3f(1, 1, 1);
            glRasterPos2i(kX, kBaseline);
            glCallLists(static_cast<GLsizei>(std::strlen(s)), GL_UNSIGNED_BYTE, s);
            out.resize(static_cast<size_t>(kW) * kH);
            glReadBuffer(GL_BACK);
            glReadPixels(0, 0, kW, kH, GL_RED, GL_UNSIGNED_BYTE, out.data());
        };
        draw("HUD 88", text);
        draw("\xFF\xFF", blank);
        Sys().SwapBuffers();
        Sys().ReleaseGlContext();
        self.EndDialog(IDOK);
    });
    w.DoModal();
    EXPECT_TRUE(pfd.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_GE(pfd.cDepthBits, 24);
    EXPECT_GE(pfd.cStencilBits, 8);
    // Every lit pixel stands right of the raster position, in the 30-pixel
    // cell above and around the baseline; there are plenty of them.
    int inside = 0, outside = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            if (text[static_cast<size_t>(kH - 1 - y) * kW + x] < 128) {
                continue;
            }
            const bool inCell = x >= kX && y > kBaseline - 30 && y <= kBaseline + 8;
            ++(inCell ? inside : outside);
        }
    }
    EXPECT_GT(inside, 200);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(std::count_if(blank.begin(), blank.end(), [](uint8_t v) { return v != 0; }), 0)
        << "byte 255 draws nothing";
}

TEST_F(Win32Backend, SystemMenuEndsWithTheAboutItemWhichOpensTheAboutBox) {
    std::wstring lastText;
    UINT lastId = 0, beforeLast = 0;
    std::wstring aboutLine;
    std::thread player = Answer(L"About Quorvax", [&](HWND box) {
        wchar_t buf[64] = {};
        HWND line = FindWindowExW(box, nullptr, L"Static", L"Quorvax Version 1.0");
        if (line != nullptr) {
            GetWindowTextW(line, buf, 64);
        }
        aboutLine = buf;
        PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);  // its default button
    });
    ProbeWindow w([&](ProbeWindow& self) {
        Sys().AppendSystemMenuItem(self, IDM_ABOUTBOX, LoadResourceString(IDS_ABOUTBOX));
        HMENU menu = GetSystemMenu(Hwnd(self), FALSE);
        const int n = GetMenuItemCount(menu);
        wchar_t buf[64] = {};
        GetMenuStringW(menu, n - 1, buf, 64, MF_BYPOSITION);
        lastText = buf;
        lastId = GetMenuItemID(menu, n - 1);
        beforeLast = GetMenuState(menu, n - 2, MF_BYPOSITION);
        PostMessageW(Hwnd(self), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    });
    w.DoModal();
    player.join();
    EXPECT_EQ(lastText, L"&About Quorvax...");
    EXPECT_EQ(lastId, IDM_ABOUTBOX);
    EXPECT_TRUE(beforeLast & MF_SEPARATOR);
    EXPECT_EQ(aboutLine, L"Quorvax Version 1.0");
    EXPECT_EQ(w.aboutResult, IDOK);
}

// The hidden pointer is hidden over the game's picture only: over a dialog
// (the About box) it keeps the arrow, so that OK can be clicked.
TEST_F(Win32Backend, HiddenCursorIsHiddenOverTheMainWindowOnly) {
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    HCURSOR overMain = arrow, overAbout = nullptr, shownAgain = nullptr;
    ProbeWindow w([&](ProbeWindow& self) {
        // What the pointer becomes when it moves over the window's client area.
        const auto cursorOver = [](HWND hwnd) {
            SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            return GetCursor();
        };
        Sys().ShowCursor(false);
        overMain = cursorOver(Hwnd(self));
        AboutBox about;
        Sys().CreateModeless(about);
        overAbout = cursorOver(Hwnd(about));
        Sys().DestroyWindow(about);
        Sys().ShowCursor(true);
        shownAgain = cursorOver(Hwnd(self));
        self.EndDialog(IDOK);
    });
    w.DoModal();
    EXPECT_EQ(overMain, nullptr);
    EXPECT_EQ(overAbout, arrow);
    EXPECT_EQ(shownAgain, arrow);
}

TEST_F(Win32Backend, MessageBoxShowsItsTextAndIsAnsweredWithEnter) {
    std::wstring shown;
    std::thread player = Answer(L"quorvax", [&](HWND box) {
        wchar_t buf[64] = {};
        GetDlgItemTextW(box, 0xFFFF, buf, 64);  // the box's text
        shown = buf;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    Sys().MessageBox("Error opening Mapper", "quorvax");
    player.join();
    EXPECT_EQ(shown, L"Error opening Mapper");
}

TEST_F(Win32Backend, NameDialogKeepsTheTypedNameOnEnterAndNoneOnEscape) {
    const struct {
        const wchar_t* typed;
        WPARAM key;
        const char* name;
    } cases[] = {
        {L"Zo\u00EB \u00DCnder", VK_RETURN, "Zo\xEB \xDCnder"},
        {L"Someone", VK_ESCAPE, ""},
    };
    for (const auto& c : cases) {
        std::thread player = Answer(L"Enter Your Name", [&](HWND dlg) {
            HWND edit = GetDlgItem(dlg, IDC_NAME_EDIT);
            SetWindowTextW(edit, c.typed);
            PostMessageW(edit, WM_KEYDOWN, c.key, 0);
        });
        NameDialog dlg;
        dlg.DoModal();
        player.join();
        EXPECT_EQ(dlg.name, c.name);
    }
}

// Input as a recording writes it: "down 13", "up 27", "text A".
std::string Describe(const std::vector<Message>& messages) {
    std::string out;
    for (const Message& m : messages) {
        out += out.empty() ? "" : "|";
        out += m.kind == MessageKind::Text      ? "text " + m.text
               : m.kind == MessageKind::KeyDown ? "down " + std::to_string(m.key)
                                                : "up " + std::to_string(m.key);
    }
    return out;
}

// Lets Escape through always, the rest when `pass` (as a playback holds the
// player's keys back).
class ListTap : public InputTap {
  public:
    bool OnInput(const Message& msg) override {
        seen.push_back(msg);
        return pass || msg.key == VK_ESCAPE;
    }
    std::vector<Message> seen;
    bool pass = true;
};

TEST_F(Win32Backend, InputTapSeesEveryKeyAndTextFirstAndCanHoldThemBack) {
    ListTap tap;
    system.SetInputTap(&tap);
    for (const bool pass : {true, false}) {
        tap.seen.clear();
        tap.pass = pass;
        ProbeWindow w([&](ProbeWindow& self) {
            PostMessageW(Hwnd(self), WM_KEYDOWN, VK_LEFT, 0);
            PostMessageW(Hwnd(self), WM_KEYUP, VK_LEFT, 0);
            PostMessageW(Hwnd(self), WM_KEYDOWN, VK_ESCAPE, 0);
        });
        w.DoModal();
        EXPECT_EQ(Describe(tap.seen), "down 37|up 37|down 27");
        EXPECT_EQ(Describe(w.got), pass ? "down 37|up 37|down 27" : "down 27");
    }
    // In the name dialog: typed keys, held back ones, and a click on OK or
    // the close box, which the tap sees as the Enter or Escape they stand for.
    const struct {
        bool pass;
        std::vector<WPARAM> chars;
        UINT msg;
        WPARAM wp;
        const char* seen;
        const char* name;
    } cases[] = {
        {true, {'A', 0xE9}, WM_KEYDOWN, VK_RETURN, "text A|text \xC3\xA9|down 13", "A\xE9"},
        {false,
         {'A', 0xD83D, 0xDE00},
         WM_KEYDOWN,
         VK_RETURN,
         "text A|text \xF0\x9F\x98\x80|down 13|down 27",
         ""},
        {true, {'A'}, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), "text A|down 13|up 13", "A"},
        {true, {'A'}, WM_SYSCOMMAND, SC_CLOSE, "text A|down 27|up 27", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seen);
        tap.seen.clear();
        tap.pass = c.pass;
        std::thread player = Answer(L"Enter Your Name", [&](HWND dlg) {
            HWND edit = GetDlgItem(dlg, IDC_NAME_EDIT);
            for (const WPARAM ch : c.chars) {
                PostMessageW(edit, WM_CHAR, ch, 0);
            }
            PostMessageW(c.msg == WM_KEYDOWN ? edit : dlg, c.msg, c.wp,
                         c.msg == WM_COMMAND ? reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)) : 0);
            if (!c.pass) {
                PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
            }
        });
        NameDialog dlg;
        dlg.DoModal();
        player.join();
        EXPECT_EQ(Describe(tap.seen), c.seen);
        EXPECT_EQ(dlg.name, c.name);
    }
    // A message box runs the system's own loop; its keys never reach the tap
    // (boxes stay out of recordings), so Enter answers it also while a
    // playback holds the player's keys back.
    for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        tap.seen.clear();
        tap.pass = false;
        std::thread player = Answer(L"quorvax", [key](HWND box) {
            PostMessageW(box, WM_KEYDOWN, key, 0);
            PostMessageW(box, WM_KEYUP, key, 0);
        });
        Sys().MessageBox("Error opening Mapper", "quorvax");
        player.join();
        EXPECT_EQ(Describe(tap.seen), "") << "key " << key;
    }
    system.SetInputTap(nullptr);
}

// A playback's events, delivered from a thread timer inside the dialog's loop.
std::vector<Message> deliveries;

void CALLBACK DeliverAll(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    for (const Message& m : deliveries) {
        Sys().DeliverInput(m);
    }
}

TEST_F(Win32Backend, DeliveredTextAndKeysFillTheNameDialogAndEnterClosesIt) {
    const auto text = [](const char* s) {
        Message m;
        m.kind = MessageKind::Text;
        m.text = s;
        return m;
    };
    const auto down = [](int key) {
        Message m;
        m.key = key;
        return m;
    };
    // Space in a name is text, not a press of OK; Backspace edits.
    deliveries = {text("Zo\xC3\xAB"), down(VK_SPACE), text(" \xC3\x9Cnderx"), down(VK_BACK),
                  down(VK_RETURN)};
    SetTimer(nullptr, 0, 50, DeliverAll);
    NameDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.name, "Zo\xEB \xDCnder");
    // An open message box is innermost: a controller's Start (Enter) answers
    // it, past the tap, as the box's own keys do.
    ListTap tap;
    tap.pass = false;
    system.SetInputTap(&tap);
    deliveries = {down(VK_RETURN)};
    SetTimer(nullptr, 0, 50, DeliverAll);
    bool unanswered = false;
    std::thread rescue([&] {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        if (HWND box = FindWindowW(nullptr, L"quorvax"); box != nullptr) {
            unanswered = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    });
    Sys().MessageBox("Error opening Mapper", "quorvax");
    rescue.join();
    system.SetInputTap(nullptr);
    EXPECT_FALSE(unanswered);
    EXPECT_TRUE(tap.seen.empty());
}

TEST_F(Win32Backend, ScoresFileHasFiveCrlfLines) {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("quorvax-scores-" + std::to_string(GetCurrentProcessId())))
                                 .string();
    ScoreTable table;
    table.Clear();
    table.Save(file.c_str());
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 5);
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos);
    EXPECT_EQ(bytes.find('\n') - 1, bytes.find('\r'));
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    in.close();
    std::filesystem::remove(file);
}

TEST(Win32Launcher, PlayerFolderGetsTheGameFilesAndKeepsItsScores) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("quorvax-launcher-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    fs::create_directories(root / "program");
    std::ofstream(root / "program" / "First.jpg") << "picture";
    std::ofstream(root / "program" / "scores.dat") << "theirs";
    const std::vector<std::string> files = {"First.jpg", "bomb.wav", "scores.dat"};

    // A writable program folder is the place to run.
    EXPECT_EQ(
        Win32Launcher::Choose(L"C:\\", (root / "program").wstring(), root.wstring(), files).dir,
        (root / "program").wstring());

    const fs::path player = root / "Quorvax";
    fs::create_directories(player);
    std::ofstream(player / "scores.dat") << "mine";
    std::string error;
    ASSERT_TRUE(
        Win32Launcher::PrepareDir(player.wstring(), (root / "program").wstring(), files, error))
        << error;
    ASSERT_TRUE(
        Win32Launcher::PrepareDir(player.wstring(), (root / "program").wstring(), files, error))
        << error;
    const auto read = [](const fs::path& path) {
        std::ifstream in(path);
        std::string word;
        in >> word;
        return word;
    };
    EXPECT_EQ(read(player / "First.jpg"), "picture");
    EXPECT_EQ(read(player / "scores.dat"), "mine");
    EXPECT_FALSE(fs::exists(player / "bomb.wav"));
    fs::remove_all(root);
}

}  // namespace

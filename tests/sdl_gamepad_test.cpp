#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Keys.h"
#include "platform/WindowedRect.h"
#include "platform/linux/SdlSystem.h"

namespace {

const DialogTemplate kGlHost{903, "", 200, 100, true, true, {}};

class InputDialog : public Dialog {
  public:
    InputDialog() : Dialog(kGlHost) {}
    std::function<void()> onInit;
    std::vector<Message> messages;
    std::vector<std::pair<int, int>> sizes;

    bool OnInitDialog() override {
        SetTimer(1, 5);
        if (onInit) {
            onInit();
        }
        return true;
    }
    void OnTimer(unsigned) override {
        if (++ticks_ > 400) {
            EndDialog(-1);  // the events never came
        }
    }
    void OnSize(int cx, int cy) override { sizes.emplace_back(cx, cy); }
    bool PreTranslateMessage(const Message& msg) override {
        messages.push_back(msg);
        return Dialog::PreTranslateMessage(msg);
    }

  private:
    int ticks_ = 0;
};

void PushButton(SDL_JoystickID pad, SDL_GameControllerButton button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    e.cbutton.which = pad;
    e.cbutton.button = static_cast<Uint8>(button);
    e.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&e);
}

void PushAxis(SDL_JoystickID pad, SDL_GameControllerAxis axis, Sint16 value) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERAXISMOTION;
    e.caxis.which = pad;
    e.caxis.axis = static_cast<Uint8>(axis);
    e.caxis.value = value;
    SDL_PushEvent(&e);
}

void PushRemoved(SDL_JoystickID pad) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERDEVICEREMOVED;
    e.cdevice.which = pad;
    SDL_PushEvent(&e);
}

class SdlGamepadTest : public ::testing::Test {
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

TEST_F(SdlGamepadTest, ControllerEventsArriveAsKeysAndUnpluggingReleasesThem) {
    InputDialog dlg;
    dlg.onInit = [] {
        PushButton(5, SDL_CONTROLLER_BUTTON_A, true);
        PushAxis(5, SDL_CONTROLLER_AXIS_LEFTX, 30000);
        PushAxis(5, SDL_CONTROLLER_AXIS_RIGHTX, 30000);  // not used by the game
        PushButton(5, SDL_CONTROLLER_BUTTON_Y, true);    // nor this
        PushRemoved(5);
        PushButton(5, SDL_CONTROLLER_BUTTON_B, true);  // late event of an unplugged pad
        PushButton(6, SDL_CONTROLLER_BUTTON_BACK, true);
        PushButton(6, SDL_CONTROLLER_BUTTON_START, true);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "Back with Start is Escape";
    std::vector<std::pair<MessageKind, int>> got;
    for (const Message& m : dlg.messages) {
        got.emplace_back(m.kind, m.key);
    }
    const std::vector<std::pair<MessageKind, int>> want = {
        {MessageKind::KeyDown, VK_SHIFT},  {MessageKind::KeyDown, VK_RIGHT},
        {MessageKind::KeyUp, VK_RIGHT},    {MessageKind::KeyUp, VK_SHIFT},
        {MessageKind::KeyDown, VK_ESCAPE}, {MessageKind::KeyUp, VK_ESCAPE},
    };
    EXPECT_EQ(got, want);
}

TEST_F(SdlGamepadTest, WindowModeSwitchesSizeThroughOnSize) {
    InputDialog dlg;
    Rect desktop;
    dlg.onInit = [&] {
        desktop = Sys().DesktopRect();
        Sys().MoveWindow(dlg, desktop);
        Sys().SetWindowMode(dlg, false);
        Sys().SetWindowMode(dlg, true);
        dlg.EndDialog(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    const Rect windowed = WindowedRect(desktop);
    const std::vector<std::pair<int, int>> want = {
        {desktop.Width(), desktop.Height()},
        {windowed.Width(), windowed.Height()},
        {desktop.Width(), desktop.Height()},
    };
    EXPECT_EQ(dlg.sizes, want);
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Keyboard.h"
#include "platform/GamepadMapper.h"
#include "platform/Keys.h"
#include "support/GameHarness.h"

namespace {

// Messages as short text: "+26" key down, "-26" key up (hex codes).
std::string Text(const std::vector<Message>& messages) {
    std::string s;
    char buf[16];
    for (const Message& m : messages) {
        std::snprintf(buf, sizeof buf, "%s%02X ", m.kind == MessageKind::KeyDown ? "+" : "-",
                      m.key);
        s += buf;
        EXPECT_FALSE(m.repeat);
    }
    return s;
}

class Pad {
  public:
    explicit Pad(GamepadMapper& mapper, int id = 0) : mapper_(mapper), id_(id) {}
    std::string Send() {
        std::vector<Message> out;
        mapper_.Update(id_, state, out);
        return Text(out);
    }
    std::string Unplug() {
        std::vector<Message> out;
        mapper_.Remove(id_, out);
        return Text(out);
    }
    GamepadState state;

  private:
    GamepadMapper& mapper_;
    int id_;
};

}  // namespace

TEST(GamepadMapper, ButtonsActAsTheGameKeys) {
    GamepadMapper mapper;
    Pad pad(mapper);
    pad.state.up = true;
    EXPECT_EQ(pad.Send(), "+26 ");
    EXPECT_EQ(pad.Send(), "") << "no repeat while held";
    pad.state.up = false;
    pad.state.down = true;
    pad.state.left = true;
    EXPECT_EQ(pad.Send(), "-26 +28 +25 ");
    pad.state = {};
    pad.state.right = true;
    EXPECT_EQ(pad.Send(), "-28 +27 -25 ");
    pad.state = {};
    pad.state.a = true;
    EXPECT_EQ(pad.Send(), "-27 +10 ");
    pad.state.a = false;
    pad.state.b = true;
    EXPECT_EQ(pad.Send(), "+11 -10 ");
    pad.state.x = true;  // B and X are one key: CTRL stays down
    EXPECT_EQ(pad.Send(), "");
    pad.state.b = false;
    EXPECT_EQ(pad.Send(), "");
    pad.state.x = false;
    EXPECT_EQ(pad.Send(), "-11 ");
    pad.state.start = true;
    EXPECT_EQ(pad.Send(), "+20 ");
    pad.state.start = false;
    EXPECT_EQ(pad.Send(), "-20 ");
    pad.state.back = true;
    EXPECT_EQ(pad.Send(), "") << "Back alone does nothing";
}

TEST(GamepadMapper, StickHasADeadZoneWithHysteresis) {
    GamepadMapper mapper;
    Pad pad(mapper);
    pad.state.stickX = GamepadMapper::kStickPress;
    EXPECT_EQ(pad.Send(), "") << "inside the dead zone";
    pad.state.stickX = GamepadMapper::kStickPress + 1;
    EXPECT_EQ(pad.Send(), "+27 ");
    pad.state.stickX = GamepadMapper::kStickRelease;
    EXPECT_EQ(pad.Send(), "") << "between the thresholds it stays pushed";
    pad.state.stickX = GamepadMapper::kStickPress;
    EXPECT_EQ(pad.Send(), "");
    pad.state.stickX = GamepadMapper::kStickRelease - 1;
    EXPECT_EQ(pad.Send(), "-27 ");
    pad.state.stickX = GamepadMapper::kStickRelease + 2000;
    EXPECT_EQ(pad.Send(), "") << "coming back up to the middle band does not push it";
    // Full deflection each way; y grows downwards.
    pad.state.stickX = -32768;
    EXPECT_EQ(pad.Send(), "+25 ");
    pad.state.stickX = 0;
    pad.state.stickY = -32768;
    EXPECT_EQ(pad.Send(), "+26 -25 ");
    pad.state.stickY = 32767;
    EXPECT_EQ(pad.Send(), "-26 +28 ");
    // Diagonal: two arrows at once, as two held keys.
    pad.state.stickX = 30000;
    EXPECT_EQ(pad.Send(), "+27 ");
    pad.state.stickX = pad.state.stickY = 0;
    EXPECT_EQ(pad.Send(), "-28 -27 ");
}

TEST(GamepadMapper, StickAndDpadTogetherReleaseOnlyWhenBothLetGo) {
    GamepadMapper mapper;
    Pad pad(mapper);
    pad.state.up = true;
    EXPECT_EQ(pad.Send(), "+26 ");
    pad.state.stickY = -32768;
    EXPECT_EQ(pad.Send(), "");
    pad.state.up = false;
    EXPECT_EQ(pad.Send(), "");
    pad.state.stickY = 0;
    EXPECT_EQ(pad.Send(), "-26 ");
}

TEST(GamepadMapper, BackWithStartIsEscapeInEitherOrder) {
    GamepadMapper mapper;
    Pad pad(mapper);
    pad.state.back = true;
    EXPECT_EQ(pad.Send(), "");
    pad.state.start = true;
    EXPECT_EQ(pad.Send(), "+1B -1B ") << "the chord is Escape, not SPACE";
    EXPECT_EQ(pad.Send(), "") << "once per chord";
    pad.state.back = false;
    EXPECT_EQ(pad.Send(), "") << "Start held on after the chord never turns into SPACE";
    pad.state.start = false;
    EXPECT_EQ(pad.Send(), "");

    // Start first goes out as SPACE; Back then still makes the chord.
    pad.state.start = true;
    EXPECT_EQ(pad.Send(), "+20 ");
    pad.state.back = true;
    EXPECT_EQ(pad.Send(), "+1B -1B ");
    pad.state = {};
    EXPECT_EQ(pad.Send(), "-20 ");
}

TEST(GamepadMapper, SeveralPadsAndUnplugging) {
    GamepadMapper mapper;
    Pad one(mapper, 3);
    Pad two(mapper, 7);
    one.state.a = true;
    one.state.up = true;
    EXPECT_EQ(one.Send(), "+26 +10 ");
    two.state.a = true;
    EXPECT_EQ(two.Send(), "") << "SHIFT is already down";
    one.state.a = false;
    EXPECT_EQ(one.Send(), "") << "the other pad still holds SHIFT";
    EXPECT_EQ(two.Unplug(), "-10 ") << "unplugging lets go of what it held";
    EXPECT_EQ(two.Unplug(), "") << "a second removal does nothing";
    EXPECT_EQ(one.Unplug(), "-26 ");
    // Plugged in again: it starts from nothing held.
    one.state = {};
    one.state.down = true;
    EXPECT_EQ(one.Send(), "+28 ");
}

TEST(GamepadMapper, DrivesTheGameThroughTheSameKeyBits) {
    GameHarness h;
    GamepadMapper mapper;
    GamepadState pad;
    auto send = [&] {
        std::vector<Message> out;
        mapper.Update(0, pad, out);
        for (const Message& m : out) {
            h.sys.Deliver(m);
        }
    };
    pad.start = true;
    send();
    EXPECT_EQ(h.game().waitingForStart, 0) << "Start leaves the title like SPACE";
    pad.start = false;
    pad.stickX = -30000;
    pad.a = true;
    pad.x = true;
    send();
    EXPECT_EQ(h.game().keyFlags, kKeyTurnLeft | kKeyJump | kKeyBomb);
    h.Tick();
    EXPECT_EQ(h.game().bombReady, 0) << "the tick ran the bomb action";
    pad = {};
    send();
    EXPECT_EQ(h.game().keyFlags, 0);
    pad.back = true;
    send();
    pad.start = true;
    send();
    EXPECT_TRUE(h.window->IsEnded()) << "Back with Start ends the game like Escape";
}

// The player's buttons replace the defaults; a larger dead zone needs the
// stick pushed further.
TEST(GamepadMapper, FollowsThePlayersBindingsAndDeadZone) {
    PadBindings bindings = PadBindings::Defaults();
    bindings.Bind(GameAction::Jump, 0, PadButton::Y);
    bindings.deadZone = 80;
    GamepadMapper mapper;
    mapper.SetBindings(bindings);
    Pad pad(mapper);
    pad.state.a = true;
    EXPECT_EQ(pad.Send(), "");
    pad.state.y = true;
    EXPECT_EQ(pad.Send(), "+10 ");
    pad.state.stickX = GamepadMapper::kStickPress + 1;
    EXPECT_EQ(pad.Send(), "");
    pad.state.stickX = 32767;
    EXPECT_EQ(pad.Send(), "+27 ");
}

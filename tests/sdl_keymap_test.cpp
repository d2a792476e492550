#include <gtest/gtest.h>

#include <cstdio>

#include "platform/Keys.h"
#include "platform/linux/SdlKeyMap.h"

TEST(SdlKeyMap, GameAndDialogKeysGetTheirVirtualKeyCodes) {
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LCTRL), VK_CONTROL);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RCTRL), VK_CONTROL);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LSHIFT), VK_SHIFT);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RSHIFT), VK_SHIFT);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), 0x25);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UP), 0x26);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RIGHT), 0x27);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), 0x28);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_SPACE), 0x20);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RETURN), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_ENTER), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_BACKSPACE), VK_BACK);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DELETE), VK_DELETE);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_HOME), VK_HOME);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_END), VK_END);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_TAB), VK_TAB);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1), VK_F1);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), 'A');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), 'Z');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_7), '7');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), VK_F12);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F11), 0);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_CAPSLOCK), 0);
}

TEST(SdlKeyMap, EventsBecomeMessagesWithRepeatAndAlt) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_RCTRL;
    e.key.repeat = 1;
    e.key.keysym.mod = KMOD_LALT | KMOD_RCTRL;  // CTRL held: no system key
    Message m;
    ASSERT_TRUE(MessageFromSdlEvent(e, m));
    EXPECT_EQ(m.kind, MessageKind::KeyDown);
    EXPECT_EQ(m.key, VK_CONTROL);
    EXPECT_TRUE(m.repeat);
    EXPECT_TRUE(m.alt);

    e.type = SDL_KEYUP;
    e.key.keysym.mod = KMOD_NONE;
    ASSERT_TRUE(MessageFromSdlEvent(e, m));
    EXPECT_EQ(m.kind, MessageKind::KeyUp);
    EXPECT_FALSE(m.repeat);
    EXPECT_FALSE(m.alt);

    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_CAPSLOCK;
    EXPECT_FALSE(MessageFromSdlEvent(e, m)) << "keys without a code are not delivered";

    SDL_Event t{};
    t.type = SDL_TEXTINPUT;
    std::snprintf(t.text.text, sizeof t.text.text, "%s", "\xC3\xA9");
    ASSERT_TRUE(MessageFromSdlEvent(t, m));
    EXPECT_EQ(m.kind, MessageKind::Text);
    EXPECT_EQ(m.text, "\xC3\xA9");

    SDL_Event other{};
    other.type = SDL_MOUSEMOTION;
    EXPECT_FALSE(MessageFromSdlEvent(other, m));
}

// As on Windows: with NumLock off the keypad is the cursor block, with it on
// its digits are text; a key pressed under Alt (without CTRL) is a system
// key, so only Alt+Enter reaches the game, while every release does.
TEST(SdlKeyMap, KeypadFollowsNumLockAndAltKeysAreNoGameKeys) {
    const struct {
        Uint32 type;
        SDL_Keycode sym;
        Uint16 mod;
        int key;  // 0: not delivered
    } cases[] = {
        {SDL_KEYDOWN, SDLK_KP_8, KMOD_NONE, VK_UP},
        {SDL_KEYDOWN, SDLK_KP_2, KMOD_NONE, VK_DOWN},
        {SDL_KEYDOWN, SDLK_KP_4, KMOD_NONE, VK_LEFT},
        {SDL_KEYUP, SDLK_KP_6, KMOD_NONE, VK_RIGHT},
        {SDL_KEYDOWN, SDLK_KP_7, KMOD_NONE, VK_HOME},
        {SDL_KEYDOWN, SDLK_KP_1, KMOD_NONE, VK_END},
        {SDL_KEYDOWN, SDLK_KP_PERIOD, KMOD_NONE, VK_DELETE},
        {SDL_KEYDOWN, SDLK_KP_5, KMOD_NONE, 0},
        {SDL_KEYDOWN, SDLK_KP_8, KMOD_NUM, 0},
        {SDL_KEYUP, SDLK_KP_4, KMOD_NUM, 0},
        {SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_NUM, VK_RETURN},
        {SDL_KEYDOWN, SDLK_UP, KMOD_LALT, 0},
        {SDL_KEYDOWN, SDLK_KP_8, KMOD_RALT, 0},
        {SDL_KEYDOWN, SDLK_LALT, KMOD_LALT, 0},
        {SDL_KEYDOWN, SDLK_SPACE, KMOD_LALT | KMOD_LSHIFT, 0},
        {SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT, VK_RETURN},
        {SDL_KEYUP, SDLK_LEFT, KMOD_LALT, VK_LEFT},
        {SDL_KEYUP, SDLK_LALT, KMOD_NONE, VK_MENU},
        {SDL_KEYDOWN, SDLK_LEFT, KMOD_LALT | KMOD_LCTRL, VK_LEFT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.type << " sym " << c.sym << " mod " << c.mod);
        SDL_Event e{};
        e.type = c.type;
        e.key.keysym.sym = c.sym;
        e.key.keysym.mod = c.mod;
        Message m;
        ASSERT_EQ(MessageFromSdlEvent(e, m), c.key != 0);
        if (c.key != 0) {
            EXPECT_EQ(m.key, c.key);
        }
    }
}

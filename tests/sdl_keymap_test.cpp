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
    e.key.keysym.mod = KMOD_LALT;
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

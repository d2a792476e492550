#include <GL/gl.h>
#include <gtest/gtest.h>

#include "app/Keyboard.h"
#include "platform/Keys.h"
#include "platform/WindowedRect.h"
#include "support/GameHarness.h"
#include "support/SceneProbe.h"

namespace {

Message Key(MessageKind kind, int vk, bool alt, bool repeat = false) {
    Message m;
    m.kind = kind;
    m.key = vk;
    m.alt = alt;
    m.repeat = repeat;
    return m;
}

void AltEnter(GameHarness& h) {
    h.sys.Deliver(Key(MessageKind::KeyDown, VK_MENU, true));
    h.sys.Deliver(Key(MessageKind::KeyDown, VK_RETURN, true));
    h.sys.Deliver(Key(MessageKind::KeyUp, VK_RETURN, true));
    h.sys.Deliver(Key(MessageKind::KeyUp, VK_MENU, false));
}

// Spoils the render state the way a frame of play leaves it and worse.
void SpoilRenderState() {
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHT1);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glClearColor(1, 1, 1, 1);
    glViewport(0, 0, 10, 10);
}

void ExpectRenderStateFor(GameHarness& h, int w, int ht) {
    EXPECT_EQ(h.sys.ClientWidth(), w);
    EXPECT_EQ(h.sys.ClientHeight(), ht);
    EXPECT_EQ(h.game().viewWidth, w);
    EXPECT_EQ(h.game().viewHeight, ht);
    EXPECT_FLOAT_EQ(h.game().aspect, static_cast<float>(w) / static_cast<float>(ht));
    GLint vp[4] = {};
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], w);
    EXPECT_EQ(vp[3], ht);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.1f);
    EXPECT_FLOAT_EQ(clear[1], 0.1f);
    EXPECT_FLOAT_EQ(clear[2], 0.5f);
}

void ExpectTitleFills(GameHarness& h, int w, int ht) {
    h.Tick();
    h.Grab();
    ASSERT_EQ(h.width, w);
    ASSERT_EQ(h.height, ht);
    EXPECT_EQ(h.CountColour(0, 0, w, ht, 255, 0, 0, 2), w * ht);
}

}  // namespace

TEST(WindowMode, AltEnterSwitchesToTheDecoratedWindowAndBack) {
    VirtualSystem::Options options;
    options.desktopWidth = 1920;
    options.desktopHeight = 1080;
    GameHarness h(options);
    h.gl().splashTexture = SolidColourTexture(255, 0, 0);
    ExpectTitleFills(h, 1920, 1080);
    EXPECT_TRUE(h.sys.Borderless());

    SpoilRenderState();
    AltEnter(h);
    EXPECT_FALSE(h.sys.Borderless());
    ExpectRenderStateFor(h, 1280, 720);
    ExpectTitleFills(h, 1280, 720);
    EXPECT_FALSE(h.window->IsEnded());
    EXPECT_EQ(h.game().keyFlags, 0);

    // A held Alt+Enter switches once.
    h.sys.Deliver(Key(MessageKind::KeyDown, VK_RETURN, true, true));
    EXPECT_EQ(h.sys.ClientWidth(), 1280);

    SpoilRenderState();
    AltEnter(h);
    EXPECT_TRUE(h.sys.Borderless());
    ExpectRenderStateFor(h, 1920, 1080);
    ExpectTitleFills(h, 1920, 1080);
}

TEST(WindowMode, SwitchDuringPlayKeepsTheGameGoing) {
    VirtualSystem::Options options;
    options.desktopWidth = 1600;
    options.desktopHeight = 900;
    GameHarness h(options);
    h.StartPlaying();
    h.Press(VK_LEFT);
    h.Tick(3);
    const float facing = h.game().hero.orientation[1];
    AltEnter(h);
    EXPECT_EQ(h.game().keyFlags, kKeyTurnLeft) << "Alt and Enter leave the held keys alone";
    h.Tick();
    EXPECT_NE(h.game().hero.orientation[1], facing) << "the held key still turns the hero";
    EXPECT_EQ(h.game().viewWidth, 1280);
    EXPECT_EQ(h.game().waitingForStart, 0);
    // Lighting was switched on by the resize and off again by the board.
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST(WindowMode, EnterAloneDoesNothing) {
    VirtualSystem::Options options;
    options.desktopWidth = 1920;
    options.desktopHeight = 1080;
    GameHarness h(options);
    h.Tick();
    h.sys.Deliver(Key(MessageKind::KeyDown, VK_RETURN, false));
    h.sys.Deliver(Key(MessageKind::KeyUp, VK_RETURN, false));
    EXPECT_TRUE(h.sys.Borderless());
    EXPECT_EQ(h.game().viewWidth, 1920);
    EXPECT_TRUE(h.Tick());
    EXPECT_FALSE(h.window->IsEnded());
}

TEST(WindowMode, WindowedRectIsCentredAndNeverLargerThanTheDesktop) {
    const Rect big = WindowedRect(Rect{0, 0, 1920, 1080});
    EXPECT_EQ(big.left, 320);
    EXPECT_EQ(big.top, 180);
    EXPECT_EQ(big.Width(), 1280);
    EXPECT_EQ(big.Height(), 720);
    const Rect small = WindowedRect(Rect{100, 50, 1124, 818});
    EXPECT_EQ(small.left, 100);
    EXPECT_EQ(small.Width(), 1024);
    EXPECT_EQ(small.top, 74);
    EXPECT_EQ(small.Height(), 720);
}

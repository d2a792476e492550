#include <GL/gl.h>
#include <gtest/gtest.h>

#include "app/Keyboard.h"
#include "platform/Keys.h"
#include "support/GameHarness.h"
#include "support/SceneProbe.h"

TEST(Frame, StartsOnTheTitleAndTicksEvery40Ms) {
    GameHarness h;
    Game& g = h.game();
    EXPECT_EQ(g.waitingForStart, 1);
    EXPECT_EQ(g.gameOver, 0);
    EXPECT_EQ(g.lives, 3);
    EXPECT_EQ(g.score, 0);
    EXPECT_EQ(g.viewWidth, 1280);
    EXPECT_EQ(g.viewHeight, 720);
    EXPECT_FLOAT_EQ(g.aspect, 1280.0f / 720.0f);
    EXPECT_EQ(h.sys.CursorCount(), -1) << "the cursor is hidden over the game";
    EXPECT_TRUE(h.sys.HasTimer(*h.window, MainWindow::kFrameTimerId));
    h.Tick(10);
    EXPECT_EQ(h.sys.Now(), 400u);
    EXPECT_EQ(h.sys.SwapCount(), 10);
}

TEST(Frame, TitlePictureFillsTheWindowExactly) {
    GameHarness h;
    h.gl().splashTexture = SolidColourTexture(255, 0, 0);
    h.Tick();
    h.Grab();
    const int w = h.width, ht = h.height;
    EXPECT_EQ(h.CountColour(0, 0, w, ht, 255, 0, 0, 2), w * ht);
}

TEST(Frame, PlayingScreenShowsClearColourAndStatusTexts) {
    GameHarness h;
    h.StartPlaying();
    h.Grab();
    const int w = h.width, ht = h.height;
    // Clear colour (0.1, 0.1, 0.5). The board and landscape now cover the
    // corners, so the colour is read from the state rather than a pixel.
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.1f);
    EXPECT_FLOAT_EQ(clear[1], 0.1f);
    EXPECT_FLOAT_EQ(clear[2], 0.5f);
    // Each status text sits on its baseline 150 px left of the right edge.
    struct Line {
        int y, r, g, b;
    } lines[] = {{100, 0, 255, 0}, {150, 0, 255, 255}, {200, 255, 0, 0}, {250, 255, 0, 255}};
    for (const Line& l : lines) {
        EXPECT_GT(h.CountColour(w - 150, l.y - 25, w, l.y + 1, l.r, l.g, l.b), 40) << l.y;
        EXPECT_EQ(h.CountColour(0, l.y - 25, w - 152, l.y + 1, l.r, l.g, l.b, 10), 0) << l.y;
    }
    // The banner starts 100 px left of the centre at a quarter of the height.
    EXPECT_GT(h.CountColour(w / 2 - 100, ht / 4 - 25, w / 2 + 40, ht / 4 + 1, 0, 255, 255), 40);
    EXPECT_EQ(h.CountColour(0, ht / 4 - 25, w / 2 - 102, ht / 4 + 1, 0, 255, 255, 10), 0);
}

TEST(Frame, HighScoreScreenListsTheTable) {
    GameHarness h;
    // A game is played first: the board's drawing leaves lighting off, so
    // the list keeps its colours, as after a real game over.
    h.StartPlaying();
    h.game().gameOver = 1;
    h.game().waitingForStart = 1;
    h.Tick();
    h.Grab();
    const int left = h.width / 2 - 150;
    EXPECT_GT(h.CountColour(left, 25, left + 200, 51, 255, 255, 0), 40);
    for (int i = 0; i < 5; ++i) {
        const int y = 100 + 50 * i;
        EXPECT_GT(h.CountColour(left, y - 25, left + 400, y + 1, 255, 0, 255), 40) << i;
    }
    EXPECT_GT(h.CountColour(left, 325, left + 400, 351, 255, 255, 0), 40);
}

TEST(Frame, BannerShowsForHundredAndOnePlayingFrames) {
    GameHarness h;
    Game& g = h.game();
    h.Tick(5);  // title frames do not count
    EXPECT_EQ(g.levelBannerFrames, 0);
    h.StartPlaying();
    EXPECT_EQ(g.levelBannerFrames, 1);
    h.Tick(99);
    EXPECT_EQ(g.levelBannerOn, 1);
    h.Tick();  // frame 101: still drawn, then switched off
    EXPECT_EQ(g.levelBannerFrames, 101);
    EXPECT_EQ(g.levelBannerOn, 0);
    h.Tick();
    EXPECT_EQ(g.levelBannerFrames, 0);
}

TEST(Frame, SpaceLeavesTheTitleAndStartsANewGameAfterGameOver) {
    GameHarness h;
    Game& g = h.game();
    h.Press(VK_UP);
    h.Press(VK_SPACE);
    EXPECT_EQ(h.game().keyFlags, 0) << "SPACE clears the held keys";
    EXPECT_EQ(g.waitingForStart, 0);
    h.Press(VK_SPACE);  // during play: nothing
    EXPECT_EQ(g.waitingForStart, 0);

    g.waitingForStart = 1;
    g.gameOver = 1;
    g.lives = 0;
    g.score = 45;
    g.board.level = 4;
    g.levelBannerOn = 0;
    h.Press(VK_SPACE);
    EXPECT_EQ(g.gameOver, 0);
    EXPECT_EQ(g.lives, 3);
    EXPECT_EQ(g.score, 0);
    EXPECT_EQ(g.board.level, 0);
    EXPECT_EQ(g.levelBannerOn, 1);
}

TEST(Window, EscapeEndsTheProgramAndEnterDoesNothing) {
    GameHarness h;
    h.Press(VK_RETURN);
    EXPECT_TRUE(h.Tick(3));
    EXPECT_FALSE(h.window->IsEnded());
    h.Press(VK_ESCAPE);
    EXPECT_TRUE(h.window->IsEnded());
    EXPECT_EQ(h.window->Result(), IDCANCEL);
    EXPECT_FALSE(h.Tick(1));
    h.sys.Close();
    EXPECT_FALSE(h.sys.HasTimer(*h.window, MainWindow::kFrameTimerId));
    h.window.reset();  // the game's destructor shows the cursor again
    EXPECT_EQ(h.sys.CursorCount(), 0);
}

TEST(Window, NoPixelFormatIsReportedAndTheGameTicksOn) {
    VirtualSystem::Options o;
    o.gl = false;
    GameHarness h(o);
    ASSERT_FALSE(h.sys.messages.empty());
    EXPECT_EQ(h.sys.messages[0].text, "ChoosePixelFormat failed");
    EXPECT_EQ(h.sys.messages[0].caption, "quorvax");
    EXPECT_TRUE(h.Tick(5));
    EXPECT_EQ(h.sys.MainTicks(), 5u);
}

TEST(Window, AboutBoxIsModalWhileTheGameKeepsTicking) {
    GameHarness h;
    Message f1;
    f1.key = VK_F1;
    Message enter;
    enter.key = VK_RETURN;
    Message up;
    up.key = VK_UP;
    h.sys.Schedule(2, f1);
    h.sys.Schedule(4, up);  // goes to the About box, not the game
    h.sys.Schedule(10, enter);
    h.Tick(2);  // tick 2 opens the box and runs inside its loop until Enter
    EXPECT_GE(h.sys.MainTicks(), 10u);
    EXPECT_EQ(h.game().keyFlags, 0);
    EXPECT_FALSE(h.window->IsEnded());
}

TEST(Window, ResizeSetsTheWholeRenderStateAgain) {
    GameHarness h;
    h.Tick();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glClearColor(1, 1, 1, 1);
    h.sys.MoveWindow(*h.window, Rect{0, 0, 640, 480});
    EXPECT_EQ(h.game().viewWidth, 640);
    EXPECT_FLOAT_EQ(h.game().aspect, 640.0f / 480.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[2], 0.5f);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 640);
    EXPECT_EQ(vp[3], 480);
}

TEST(Frame, HighScoreScreenLeavesTheDepthTestOnForTheNextBoard) {
    GameHarness h;
    FrameState s;
    s.gameOver = true;
    h.gl().Draw(s, ViewSize{h.width, h.height, float(h.width) / float(h.height)});
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    EXPECT_EQ(func, GL_LEQUAL);
}

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "app/ReplayScript.h"
#include "platform/Keys.h"
#include "support/GameHarness.h"

TEST(ReplayScript, ParsesKeysTextAndComments) {
    std::istringstream in(
        "# a comment\n"
        "\n"
        "3 down space\r\n"
        "  4 up ctrl  # trailing words are ignored\n"
        "7 text Anna Lee \n"
        "8 text\n");
    std::vector<ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(ParseReplayScript(in, events, error)) << error;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].tick, 3u);
    EXPECT_EQ(events[0].msg.kind, MessageKind::KeyDown);
    EXPECT_EQ(events[0].msg.key, VK_SPACE);
    EXPECT_EQ(events[1].msg.kind, MessageKind::KeyUp);
    EXPECT_EQ(events[1].msg.key, VK_CONTROL);
    EXPECT_EQ(events[2].msg.kind, MessageKind::Text);
    EXPECT_EQ(events[2].msg.text, "Anna Lee ");
    EXPECT_EQ(events[3].msg.text, "");
}

TEST(ReplayScript, RejectsBadLinesWithTheirNumber) {
    for (const char* bad :
         {"0 down up\n", "x down up\n", "-1 down up\n", "5 press up\n", "5 down tab\n", "5\n"}) {
        std::istringstream in(std::string("1 down up\n") + bad);
        std::vector<ScriptEvent> events;
        std::string error;
        EXPECT_FALSE(ParseReplayScript(in, events, error)) << bad;
        EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
    }
}

TEST(ReplayScript, StateLineNamesScreenAndCounters) {
    GameHarness h;
    Game& g = h.game();
    EXPECT_EQ(FormatState(g, 0), "state tick=0 screen=title level=1 lives=3 score=0 enemies=" +
                                     std::to_string(g.enemies.enemies.count) +
                                     " bombs=0 hero=-5.500,-5.500,0.500 facing=0.0");
    g.gameOver = 1;
    EXPECT_NE(FormatState(g, 9).find("screen=scores"), std::string::npos);
    g.waitingForStart = 0;
    g.gameOver = 0;
    SetIdentity(g.hero.orientation);
    SetRotation(g.hero.orientation, 0, 0, M_PI / 2);
    const std::string s = FormatState(g, 12);
    EXPECT_NE(s.find("screen=playing"), std::string::npos);
    EXPECT_NE(s.find("facing=90.0"), std::string::npos);
}

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
         {"0 down up\n", "x down up\n", "-1 down up\n", "2147483648 down up\n",
          "99999999999999999999 down up\n", "5 press up\n", "5 down tab\n", "5\n"}) {
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

// A recording is held to more than a hand-written script: each bad one is
// refused as a whole, with the line that is wrong.
TEST(ReplayScript, StateDifferencesAreNamedInWords) {
    const std::string recorded = "state tick=9 screen=scores level=2 lives=0 score=80";
    EXPECT_EQ(StateDifferences(recorded, recorded), "");
    EXPECT_EQ(StateDifferences("state tick=9 screen=scores level=2 lives=1 score=75", recorded),
              "lives 1 (recorded: 0), score 75 (recorded: 80)");
    EXPECT_EQ(StateDifferences("state tick=12 screen=scores", "state tick=9"),
              "tick 12 (recorded: 9), screen scores (recorded: none)");
}

TEST(ReplayScript, RecordingsRefuseDamageByLine) {
    const std::string head = "# quorvax recording\n# version 1.0\n# file scores.dat absent\n";
    const struct {
        std::string body;
        int line;
        const char* says;
    } cases[] = {
        {"5 down up\n7 down tab\n", 5, "unknown key 'tab'"},
        {"5 down up\n9 up up\n8 down left\n", 6, "tick 8 comes after tick 9"},
        {"5 down up\n9 up u", 5, "cut off"},
        {"5 down up\n6 text A\x01"
         "B\n",
         5, "byte 0x01 at column 9"},
        {"5 down up\n\x89PNG\r\n\x1a\n", 5, "byte 0x89 at column 1"},
        {"5 down up\n6 text \xC3(\n", 5, "byte 0xC3"},
        {"# final state tick=4 screen=title\n5 down up\n", 5, "event after the final state"},
        {"# file scores.dat 12 crc32 nothex!\n", 4, "# file NAME SIZE crc32 HEX"},
        {"# final state tick=x\n", 4, "# final state tick=T"},
        {"# final\n", 4, "# final state tick=T"},
        {"# rules\n", 4, "# rules NAME"},
        {"# final state tick=99999999999999999999 screen=title\n", 4, "# final state tick=T"},
        {"# table 5\n", 4, "# table SCORE NAME"},
    };
    for (const auto& c : cases) {
        std::istringstream in(head + c.body);
        std::vector<ScriptEvent> events;
        std::string error;
        EXPECT_FALSE(ParseReplayScript(in, events, error)) << c.body;
        EXPECT_EQ(error.rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_TRUE(events.empty()) << c.body;
    }
}

TEST(ReplayScript, RecordingHeaderAndFinalStateAreRead) {
    std::istringstream in(
        "# quorvax recording\n# version 1.0\n# rules 7\n# system web\n"
        "# file scores.dat 5 crc32 0000abcd\n2 down space\n2 up space\n# final state tick=7 "
        "screen=title level=1\n");
    std::vector<ScriptEvent> events;
    std::string error;
    RecordingInfo info;
    ASSERT_TRUE(ParseReplayScript(in, events, error, &info)) << error;
    EXPECT_TRUE(info.isRecording);
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(info.finalTick, 7u);
    EXPECT_EQ(info.finalState, "state tick=7 screen=title level=1");
    EXPECT_EQ(info.rules, "7");
    EXPECT_EQ(info.system, "web");
    EXPECT_NE(RecordingInfo::OfThisGame().FormatHeader().find("\n# rules 1\n# system "),
              std::string::npos);
    RecordingInfo now = info;
    EXPECT_EQ(info.DifferencesFrom(now), "");
    now.version = "2.0";
    now.rules = "8";
    now.files[0].present = false;
    EXPECT_EQ(info.DifferencesFrom(now),
              "it was made with version 1.0, this is 2.0; it was played by rules 7, this game "
              "plays rules 8; scores.dat was 5 crc32 0000abcd, now absent");
    // A recording carries the table it started from, names in UTF-8, and
    // then does not depend on the player's file.
    RecordingInfo made = info;
    made.table = {{"Zo\xEB", 75}, {" two  words", -3}, {"", 0}};
    std::istringstream carried(made.FormatHeader());
    RecordingInfo read;
    ASSERT_TRUE(ParseReplayScript(carried, events, error, &read)) << error;
    ASSERT_EQ(read.table.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read.table[i].name, made.table[i].name);
        EXPECT_EQ(read.table[i].score, made.table[i].score);
    }
    EXPECT_EQ(read.DifferencesFrom(now),
              "it was made with version 1.0, this is 2.0; it was played by rules 7, this game "
              "plays rules 8");
    // A hand-written script may list its ticks in any order and end without a newline.
    std::istringstream script("9 down up\n3 down left");
    events.clear();
    EXPECT_TRUE(ParseReplayScript(script, events, error)) << error;
}

// The leaderboard's verifier: pinned replays reach their pinned states under
// the current rules, forged recordings are refused with their reason, and
// threads verifying at once agree with one thread alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/Recorder.h"
#include "app/ReplayScript.h"
#include "server/GameVerifier.h"
#include "support/GameHarness.h"

namespace {

// A pinned replay script as a recording of a program started without
// scores.dat, closed by the state the program ended in.
std::string PinnedRecording(const std::string& name, const std::string& programEnd) {
    std::ifstream in(std::string(QUORVAX_REPLAYS_DIR) + "/" + name + ".txt");
    std::string text =
        "# quorvax recording\n# version 1.0\n# rules 1\n# system linux\n"
        "# file scores.dat absent\n";
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != '#') {
            text += line + "\n";
        }
    }
    return programEnd.empty() ? text : text + "# final " + programEnd + "\n";
}

const char* const kWholeGameEnd =
    "state tick=774 screen=scores level=2 lives=0 score=75 enemies=5 bombs=0 "
    "hero=-5.500,-5.500,0.500 facing=88.2";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The recording without its closing state and the events from `tick` on.
std::string CutBefore(const std::string& text, uint64_t tick) {
    std::istringstream in(text);
    std::string out, line;
    while (std::getline(in, line) && line.rfind("# final", 0) != 0 &&
           (line[0] == '#' || std::stoull(line) < tick)) {
        out += line + "\n";
    }
    return out;
}

}  // namespace

// The pinned replays' games under these rules. A change of the rules moves
// one of these states: then RulesVersion() must change too, and this table
// with it.
TEST(Verify, PinnedReplaysEndInTheirPinnedStatesUnderTheseRules) {
    EXPECT_STREQ(RulesVersion(), "1") << "new rules: pin the states below again";
    const struct {
        const char* name;
        const char* programEnd;
        int score;
        int level;
        uint64_t start, end;
        const char* state;
    } pins[] = {
        {"bombs_and_lives",
         "state tick=259 screen=scores level=1 lives=0 score=0 enemies=5 bombs=0 "
         "hero=-5.500,-5.500,0.500 facing=0.0",
         0, 1, 1, 244,
         "state tick=244 screen=scores level=1 lives=0 score=0 enemies=5 bombs=0 "
         "hero=-5.500,-5.500,0.500 facing=0.0"},
        {"whole_game", kWholeGameEnd, 75, 2, 576, 750,
         "state tick=750 screen=scores level=2 lives=0 score=75 enemies=5 bombs=0 "
         "hero=-5.500,-5.500,0.500 facing=88.2"},
    };
    for (const auto& p : pins) {
        const VerifiedGame v = VerifyRecording(PinnedRecording(p.name, p.programEnd), {});
        ASSERT_TRUE(v.ok) << p.name << ": " << v.reason;
        EXPECT_EQ(v.finalState, p.state) << p.name;
        EXPECT_EQ(v.score, p.score) << p.name;
        EXPECT_EQ(v.level, p.level) << p.name;
        EXPECT_EQ(v.startTick, p.start) << p.name;
        EXPECT_EQ(v.endTick, p.end) << p.name;
        EXPECT_EQ(v.system, "linux");
        // The canonical text is a recording of its own that verifies the same.
        const VerifiedGame again = VerifyRecording(v.canonical, {});
        ASSERT_TRUE(again.ok) << again.reason;
        EXPECT_EQ(again.canonical, v.canonical);
        EXPECT_EQ(again.finalState, v.finalState);
    }
}

TEST(Verify, SameKeysGiveTheSameCanonicalText) {
    const std::string a = PinnedRecording("whole_game", kWholeGameEnd);
    std::string b = Replace(Replace(a, "# version 1.0", "# version 9"), "# system linux",
                            "# system web\n# a comment");
    const VerifiedGame va = VerifyRecording(a, {});
    const VerifiedGame vb = VerifyRecording(b, {});
    ASSERT_TRUE(va.ok && vb.ok) << va.reason << vb.reason;
    EXPECT_EQ(va.canonical, vb.canonical);
    EXPECT_EQ(vb.system, "web");
    EXPECT_EQ(va.canonical.find("\n751 "), std::string::npos) << "nothing after the game's end";
}

TEST(Verify, ForgedAndBrokenRecordingsAreRefusedWithTheirReason) {
    const std::string whole = PinnedRecording("whole_game", kWholeGameEnd);
    const std::string sent = VerifyRecording(whole, {}).canonical;  // as the game sends it
    VerifyLimits small;
    small.maxBytes = 200;
    VerifyLimits shortGames;
    shortGames.maxTicks = 500;
    VerifyLimits noTime;
    noTime.maxCpuSeconds = 0.0;
    const struct {
        const char* what;
        std::string recording;
        VerifyLimits limits;
        const char* says;
    } cases[] = {
        {"score edited upward", Replace(sent, "score=75", "score=750"), {}, "not the replay's"},
        {"keys appended after the end",
         Replace(sent, "# final", "760 down space\n# final"),
         {},
         "keys after the end"},
        {"keys after the end, no final state", CutBefore(whole, 757), {}, "after the game's end"},
        {"a truncated game", CutBefore(whole, 700), {}, "does not end"},
        {"a game quit before its end",
         CutBefore(whole, 700) + "700 down escape\n",
         {},
         "quit before its end"},
        {"another rules version",
         Replace(sent, "# rules 1", "# rules 0"),
         {},
         "recorded with rules 0, this server plays rules 1"},
        {"no rules version", Replace(sent, "# rules 1\n", ""), {}, "no rules version"},
        {"no game at all", CutBefore(whole, 576), {}, "no game ends"},
        {"junk", "GET / HTTP/1.1\r\n\r\n", {}, "not a recording"},
        {"binary", std::string("# quorvax recording\n\x89PNG\0\x1a", 26), {}, "line 2: not a line"},
        {"empty", "", {}, "not a recording"},
        {"too large", sent, small, "too large"},
        {"too long", sent, shortGames, "too long"},
        {"too slow", sent, noTime, "took too long"},
    };
    for (const auto& c : cases) {
        const VerifiedGame v = VerifyRecording(c.recording, c.limits);
        EXPECT_FALSE(v.ok) << c.what;
        EXPECT_NE(v.reason.find(c.says), std::string::npos) << c.what << ": " << v.reason;
        EXPECT_EQ(v.reason.find('\n'), std::string::npos) << c.what;
    }
}

TEST(Verify, ThreadsVerifyingAtOnceGetTheSingleThreadedResults) {
    const std::vector<std::string> recordings = {
        PinnedRecording("whole_game", kWholeGameEnd),
        PinnedRecording("bombs_and_lives",
                        "state tick=259 screen=scores level=1 lives=0 score=0 "
                        "enemies=5 bombs=0 hero=-5.500,-5.500,0.500 facing=0.0"),
        PinnedRecording("walk_and_jump", "")};
    std::vector<std::string> alone;
    for (const std::string& r : recordings) {
        const VerifiedGame v = VerifyRecording(r, {});
        alone.push_back(v.ok ? v.canonical : v.reason);
    }
    constexpr int kThreads = 6;
    std::vector<std::vector<std::string>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 10; ++round) {
                const size_t i = static_cast<size_t>(t + round) % recordings.size();
                const VerifiedGame v = VerifyRecording(recordings[i], {});
                seen[static_cast<size_t>(t)].push_back(v.ok ? v.canonical : v.reason);
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        for (int round = 0; round < 10; ++round) {
            const size_t i = static_cast<size_t>(t + round) % recordings.size();
            EXPECT_EQ(seen[static_cast<size_t>(t)][static_cast<size_t>(round)], alone[i])
                << "thread " << t << " round " << round;
        }
    }
}

// Inputs that once crashed the submission fuzzer are refused like any other.
TEST(Verify, FuzzRegressionsAreRefused) {
    const auto dir = std::filesystem::path(QUORVAX_FUZZ_CORPUS) / "submission";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().rfind("regress_", 0) == 0) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), {});
            EXPECT_FALSE(VerifyRecording(bytes, {}).ok) << entry.path();
        }
    }
}

// The game as the real main window plays it, kept in memory from the
// program's start and cut at its end as the client sends it, verifies to
// the state the window shows then.
TEST(Verify, TheInMemoryRecordingOfAFinishedGameVerifies) {
    std::istringstream script(PinnedRecording("bombs_and_lives", ""));
    std::vector<ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(ParseReplayScript(script, events, error)) << error;
    GameHarness h(VirtualSystem::Options{64, 48, true});
    for (const ScriptEvent& ev : events) {
        h.sys.Schedule(ev.tick, ev.msg);
    }
    Recorder recorder;
    recorder.Start(*h.window);
    h.sys.SetInputTap(&recorder);
    std::vector<std::string> sent;
    h.window->onGameEnd = [&](uint64_t tick) {
        sent.push_back(recorder.UpTo(tick, FormatState(h.game(), tick)));
    };
    h.Tick(300);
    h.sys.SetInputTap(nullptr);
    ASSERT_EQ(sent.size(), 1u);
    const VerifiedGame v = VerifyRecording(sent[0], {});
    ASSERT_TRUE(v.ok) << v.reason << "\n" << sent[0];
    EXPECT_EQ(v.endTick, 244u);
    EXPECT_EQ(v.system, "linux");
    EXPECT_NE(sent[0].find("\n# final " + v.finalState + "\n"), std::string::npos);
}

// A whole run may go on into a game it quits unfinished: the last game that
// ended is the one verified, once the run's final state is the replay's.
TEST(Verify, AGameLeftUnfinishedAfterTheLastEndedOneIsNotItsEnd) {
    const std::string run = CutBefore(PinnedRecording("whole_game", kWholeGameEnd), 760) +
                            "765 down space\n766 up space\n800 down escape\n";
    const std::string claimed = "state tick=799 ";
    const VerifiedGame wrong = VerifyRecording(run + "# final " + claimed + "\n", {});
    const size_t at = wrong.reason.find("replayed \"" + claimed);
    ASSERT_NE(at, std::string::npos) << wrong.reason;
    const std::string reached = wrong.reason.substr(at + 10, wrong.reason.size() - at - 11);
    EXPECT_NE(reached.find("screen=playing level=1 lives=3 score=0"), std::string::npos);
    const VerifiedGame v = VerifyRecording(run + "# final " + reached + "\n", {});
    ASSERT_TRUE(v.ok) << v.reason;
    EXPECT_EQ(v.endTick, 750u);
    EXPECT_EQ(v.score, 75);
    EXPECT_EQ(VerifyRecording(run, {}).reason, "keys after the game's end at tick 750");
}

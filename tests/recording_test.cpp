#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/Playback.h"
#include "app/Recorder.h"
#include "app/ReplayScript.h"
#include "image/PngWriter.h"
#include "platform/Keys.h"
#include "support/GameHarness.h"
#include "support/TempGameDir.h"

namespace {

// Start, the About box opened and closed between ticks (its loop runs the
// ticks meanwhile), a turn and a bomb that costs the last life; the score
// earns a place, so the name dialog takes the text and Enter; Escape ends.
constexpr const char* kScript =
    "2 down space\n3 up space\n4 down f1\n6 up f1\n8 down enter\n9 up enter\n"
    "10 down left\n12 down ctrl\n13 up ctrl\n14 up left\n"
    "50 text Ada\n52 down enter\n53 up enter\n60 down escape\n";

// The game of kScript with one life left and a score to enter the table.
void LastLifeWithScore(GameHarness& h) {
    h.game().lives = 1;
    h.game().score = 30;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// quorvax-YYYYMMDD-HHMMSS.png, or with "-2" before ".png".
bool IsShotName(std::string name) {
    if (name.size() > 6 && name.compare(name.size() - 6, 6, "-2.png") == 0) {
        name.erase(name.size() - 6, 2);
    }
    const std::string shape = "quorvax-dddddddd-dddddd.png";
    if (name.size() != shape.size()) {
        return false;
    }
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(name[i]))
                            : name[i] != shape[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

// What is recorded is the script it was played from, tick for tick, and the
// playback of the recording in a fresh game ends in the recorded state,
// whatever keys the player presses meanwhile.
TEST(Recording, RecordsWhatWasPlayedAndPlaysItBackTheSame) {
    // The game reads each sound once per run: a bomb going off here without
    // its file would leave the later tests of the same program silent.
    const std::filesystem::path game = std::filesystem::current_path();
    TempGameDir dir;
    for (const char* sound : {"bomb.wav", "death.wav", "over.wav"}) {
        std::error_code ignored;
        std::filesystem::copy_file(game / sound, sound, ignored);
    }
    const std::string path = "game.rec";
    std::string error;
    {
        GameHarness h(VirtualSystem::Options{160, 120, true});
        LastLifeWithScore(h);
        std::istringstream script(kScript);
        std::vector<ScriptEvent> events;
        ASSERT_TRUE(ParseReplayScript(script, events, error)) << error;
        for (const ScriptEvent& ev : events) {
            h.sys.Schedule(ev.tick, ev.msg);
        }
        Recorder recorder;
        ASSERT_TRUE(recorder.Open(path, error)) << error;
        recorder.Start(*h.window);
        h.sys.SetInputTap(&recorder);
        EXPECT_FALSE(h.Tick(200));
        h.sys.SetInputTap(nullptr);
        EXPECT_EQ(h.game().highScores.entries[0].name, "Ada");
        recorder.Finish(FormatState(h.game(), h.window->Ticks()));
    }
    const std::string recorded = ReadFile(path);
    EXPECT_EQ(recorded.rfind("# quorvax recording\n# version ", 0), 0u) << recorded;
    std::string cleared;
    for (int i = 0; i < ScoreTable::kEntries; ++i) {
        cleared += "# table 0 www.quorvax.example\n";
    }
    EXPECT_NE(recorded.find("\n# file scores.dat absent\n" + cleared + kScript +
                            "# final state tick=59 screen=scores level=1 lives=0 score=30 "),
              std::string::npos)
        << recorded;

    // The recorded game saved its table; the playback plays against the
    // table the recording started from and leaves the player's file alone.
    const std::string saved = ReadFile("scores.dat");
    Playback playback;
    ASSERT_TRUE(playback.Load(path, error)) << error;
    EXPECT_EQ(playback.Info().DifferencesFrom(RecordingInfo::OfThisGame()), "");
    GameHarness h(VirtualSystem::Options{160, 120, true});
    h.game().startTable = playback.Info().table;
    h.game().LoadScores();
    LastLifeWithScore(h);
    h.window->SetTickFeed(&playback);
    h.sys.SetInputTap(&playback);
    ASSERT_TRUE(h.Tick(5));
    EXPECT_FALSE(playback.Finished());  // as when the window is closed now
    h.Press(VK_RIGHT);                  // the player's own keys do nothing
    h.sys.Type("Bob");
    EXPECT_FALSE(h.Tick(200));
    h.sys.SetInputTap(nullptr);
    EXPECT_EQ(FormatState(h.game(), h.window->Ticks()), playback.Info().finalState);
    EXPECT_TRUE(playback.Finished());
    EXPECT_EQ(h.game().highScores.entries[0].name, "Ada");
    h.game().saveScores = false;
    h.window.reset();
    EXPECT_EQ(ReadFile("scores.dat"), saved);
}

// F12 saves the next frame as a PNG before its swap, and runs no tick of its own.
TEST(Recording, F12SavesTheFrameAsPng) {
    TempGameDir dir;
    GameHarness h(VirtualSystem::Options{96, 64, true});
    h.StartPlaying();
    for (int shot = 0; shot < 2; ++shot) {
        const std::string before = FormatState(h.game(), h.window->Ticks());
        h.Press(VK_F12);
        h.Release(VK_F12);
        EXPECT_EQ(FormatState(h.game(), h.window->Ticks()), before);
        h.Tick();
    }
    h.Grab();
    // The shots are written on a worker; closing the window waits for them.
    h.sys.Close();
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        names.push_back(entry.path().filename().string());
    }
    // Two in the same second keep both.
    ASSERT_EQ(names.size(), 2u);
    // The later one last: "-2" in the same second, else the later stamp.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const std::string& name : names) {
        EXPECT_TRUE(IsShotName(name)) << name;
    }

    // The same bytes as the writer makes of the frame itself.
    ASSERT_TRUE(WritePng("expected.png", h.frame.data(), h.width, h.height));
    EXPECT_TRUE(ReadFile(names.back()) == ReadFile("expected.png"));
}

// A key released without its press written (the Enter or Escape that
// answered a message box before the first tick, whose release reaches the
// game; a key pressed under Alt) has nothing to release: left out, so the
// recording holds what the game was played with and nothing else.
TEST(Recording, LeavesOutReleasesWhosePressItDidNotWrite) {
    TempGameDir dir;
    std::string error;
    {
        GameHarness h(VirtualSystem::Options{96, 64, true});
        Recorder recorder;
        ASSERT_TRUE(recorder.Open("game.rec", error)) << error;
        recorder.Start(*h.window);
        h.sys.SetInputTap(&recorder);
        h.Release(VK_ESCAPE);
        h.Release(VK_LEFT);
        h.Tick();
        h.Press(VK_UP);
        h.Tick();
        h.Release(VK_UP);
        h.Release(VK_UP);
        h.sys.SetInputTap(nullptr);
    }
    const std::string recorded = ReadFile("game.rec");
    EXPECT_NE(recorded.find("\n2 down up\n3 up up\n"), std::string::npos) << recorded;
    EXPECT_EQ(recorded.find("escape"), std::string::npos) << recorded;
    EXPECT_EQ(recorded.find("left"), std::string::npos) << recorded;
    EXPECT_EQ(recorded.find("up up", recorded.find("up up") + 1), std::string::npos) << recorded;
}

// quorvax --play shows a recorded game; an empty file or a hand-written
// script is none and is refused before anything is played.
TEST(Recording, PlaybackRefusesWhatIsNoRecording) {
    TempGameDir dir;
    for (const char* content : {"", "2 down space\n3 up space\n"}) {
        std::ofstream("not.rec", std::ios::binary) << content;
        Playback playback;
        std::string error;
        EXPECT_FALSE(playback.Load("not.rec", error));
        EXPECT_EQ(error,
                  "not.rec: line 1: not a recording (it does not begin with \"# quorvax "
                  "recording\")");
    }
}

// How a playback ended, as the page's bar and the desktop's box say it.
TEST(Recording, PlaybackEndIsSaidInWords) {
    const std::string recorded = "state tick=774 screen=scores level=2 lives=0 score=80 enemies=5";
    const struct {
        bool finished;
        std::string state;
        std::string words;
    } cases[] = {
        {false, "state tick=80 screen=playing level=1", "Playback stopped at tick 80"},
        {true, recorded, "Played to the end: the game ended as it was recorded"},
        {true, "state tick=774 screen=scores level=2 lives=0 score=75 enemies=5",
         "Played to the end, but the game ended otherwise than it was recorded: score 75 "
         "(recorded: 80)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaybackEndWords(c.finished, c.state, recorded), c.words);
    }
}

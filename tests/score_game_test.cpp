#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/Keys.h"
#include "support/GameHarness.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace {

// Runs the test in a fresh working directory of its own, so that the
// game's "scores.dat" is not shared with tests running beside it.
class OwnWorkingDirectory {
  public:
    OwnWorkingDirectory() : old_(fs::current_path()) {
        dir_ = MakeScratchDir("quorvax_scoregame_");
        fs::current_path(dir_);
    }
    ~OwnWorkingDirectory() {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }

  private:
    fs::path old_;
    fs::path dir_;
};

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(ScoreGame, StartLoadsTheFileShiftClearsAndTheEndSavesIt) {
    OwnWorkingDirectory cwd;
    std::ofstream("scores.dat", std::ios::binary)
        << "Anna\t1230\r\nBo\t900\r\nCy\t80\r\nDi\t7\r\nEd\t6\r\n";
    {
        GameHarness h;
        Game& g = h.game();
        EXPECT_EQ(g.highScores.entries[0].name, "Anna");
        EXPECT_EQ(g.highScores.entries[4].score, 6);
        h.Press(VK_SHIFT);  // during play SHIFT only jumps
        h.Release(VK_SHIFT);
        EXPECT_EQ(g.highScores.entries[0].name, "Anna");
        g.gameOver = 1;
        h.Press(VK_SHIFT);
        h.Release(VK_SHIFT);
        EXPECT_EQ(g.highScores.entries[0].name, ScoreTable::kClearedName);
        EXPECT_EQ(g.highScores.entries[0].score, 0);
        h.Tick();
        EXPECT_EQ(ReadAll("scores.dat").substr(0, 4), "Anna") << "saved only at the end";
        g.highScores.entries[2] = {"Zed", 45};
    }
    EXPECT_EQ(ReadAll("scores.dat"),
              "www.quorvax.example\t0\r\nwww.quorvax.example\t0\r\nZed\t45\r\n"
              "www.quorvax.example\t0\r\nwww.quorvax.example\t0\r\n");
}

TEST(ScoreGame, WithoutAFileTheTableStartsClearedAndSilently) {
    OwnWorkingDirectory cwd;
    GameHarness h;
    for (const ScoreEntry& e : h.game().highScores.entries) {
        EXPECT_EQ(e.name, ScoreTable::kClearedName);
        EXPECT_EQ(e.score, 0);
    }
    for (const auto& m : h.sys.messages) {
        EXPECT_EQ(m.text.find("score"), std::string::npos) << m.text;
    }
}

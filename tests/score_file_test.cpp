#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "scores/ScoreTable.h"
#include "scores/TextLines.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace {

// A fresh directory, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir() { path_ = MakeScratchDir("quorvax_scores_"); }
    ~TempDir() { fs::remove_all(path_); }
    std::string operator/(const std::string& leaf) const { return path_ + "/" + leaf; }
    int Count() const { return static_cast<int>(std::distance(fs::directory_iterator(path_), {})); }

  private:
    std::string path_;
};

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

ScoreTable Sample() {
    ScoreTable t;
    t.entries[0] = {"Anna", 1230};
    t.entries[1] = {"", 70};
    t.entries[2] = {"  ", -15};
    t.entries[3] = {"Ren\xE9\x80", INT_MAX};
    t.entries[4] = {"www.quorvax.example", INT_MIN};
    return t;
}

}  // namespace

TEST(ScoreFile, SaveWritesNameTabScoreCrLfAndLoadsBackTheSameTable) {
    TempDir dir;
    const std::string file = dir / "scores.dat";
    const ScoreTable t = Sample();
    t.Save(file.c_str());
    EXPECT_EQ(ReadAll(file),
              "Anna\t1230\r\n\t70\r\n  \t-15\r\nRen\xE9\x80\t2147483647\r\n"
              "www.quorvax.example\t-2147483648\r\n");
    ScoreTable back;
    back.Load(file.c_str());
    for (int i = 0; i < ScoreTable::kEntries; ++i) {
        EXPECT_EQ(back.entries[i].name, t.entries[i].name) << i;
        EXPECT_EQ(back.entries[i].score, t.entries[i].score) << i;
    }
    EXPECT_EQ(dir.Count(), 1) << "no temporary file is left behind";
}

TEST(ScoreFile, ANameThatHoldsATabIsWrittenUnchanged) {
    TempDir dir;
    const std::string file = dir / "scores.dat";
    ScoreTable t;
    t.Clear();
    t.entries[0] = {"Jo\tAnn", 5};
    t.Save(file.c_str());
    EXPECT_EQ(ReadAll(file).substr(0, 10), "Jo\tAnn\t5\r\n");
    t.Load(file.c_str());
    EXPECT_EQ(t.entries[0].name, "Jo");
    EXPECT_EQ(t.entries[0].score, 0);
}

TEST(ScoreFile, ALongNameIsCutSoTheLineKeepsItsScore) {
    TempDir dir;
    const std::string file = dir / "scores.dat";
    ScoreTable t;
    t.Clear();
    t.entries[0] = {std::string(5000, 'n'), INT_MIN};
    t.entries[1] = {std::string(1005, 'm'), 42};  // fits: 1005 + 3 bytes
    t.Save(file.c_str());
    ScoreTable back;
    back.Load(file.c_str());
    EXPECT_EQ(back.entries[0].score, INT_MIN);
    EXPECT_EQ(back.entries[0].name, std::string(ScoreTable::kMaxLineBytes - 12, 'n'));
    EXPECT_EQ(back.entries[1].name, t.entries[1].name);
    EXPECT_EQ(back.entries[1].score, 42);
    EXPECT_EQ(back.entries[2].name, ScoreTable::kClearedName);
}

#ifndef _WIN32  // Unix permissions
TEST(ScoreFile, SavingReplacesTheOldFileAndKeepsItsPermissions) {
    TempDir dir;
    const std::string file = dir / "scores.dat";
    WriteAll(file, "old\t1\r\n");
    ::chmod(file.c_str(), 0640);
    Sample().Save(file.c_str());
    EXPECT_EQ(ReadAll(file).substr(0, 11), "Anna\t1230\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.Count(), 1);
}
#endif

TEST(ScoreFile, ASaveThatCannotBeWrittenLeavesTheOldFile) {
    TempDir dir;
    TextLines lines;
    lines.lines = {"Anna\t1230", "Bo\t5"};
    // The directory does not exist, or is a plain file.
    EXPECT_FALSE(lines.Write((dir / "missing/scores.dat").c_str()));
    WriteAll(dir / "plain", "x");
    EXPECT_FALSE(lines.Write((dir / "plain/scores.dat").c_str()));
    EXPECT_EQ(dir.Count(), 1);
    // A directory stands where the file should go: the rename fails.
    fs::create_directory(dir / "scores.dat");
    EXPECT_FALSE(lines.Write((dir / "scores.dat").c_str()));
    EXPECT_TRUE(fs::is_directory(dir / "scores.dat"));
    EXPECT_EQ(dir.Count(), 2);

#ifndef _WIN32  // a file size limit stands in for a full disk
    // The disk fills up while the new table is written.
    const std::string file = dir / "full.dat";
    const std::string old = "Old\t999\r\nTwo\t5\r\n";
    WriteAll(file, old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = lines.Write(file.c_str());
    Sample().Save(file.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(file), old);
    EXPECT_EQ(dir.Count(), 3) << "the temporary files are removed";
#endif
}

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "image/FileStream.h"
#include "platform/Keys.h"
#include "platform/virtual/VirtualSystem.h"
#include "scores/ScoreTable.h"

namespace {

// The virtual platform, counting the modal dialogs it runs.
class CountingSystem : public VirtualSystem {
  public:
    CountingSystem() { SetSys(this); }
    ~CountingSystem() override { SetSys(nullptr); }
    int RunModal(Dialog& dlg) override {
        ++modals;
        return VirtualSystem::RunModal(dlg);
    }
    // What a player does in the name dialog: the text, then Enter.
    void Answer(const std::string& text) {
        Message m;
        m.kind = MessageKind::Text;
        m.text = text;
        Schedule(1, m);
        Message enter;
        enter.key = VK_RETURN;
        Schedule(1, enter);
    }
    int modals = 0;
};

ScoreTable TableOf(std::vector<int> scores) {
    ScoreTable t;
    for (int i = 0; i < ScoreTable::kEntries; ++i) {
        t.entries[i].name = "p" + std::to_string(i);
        t.entries[i].score = scores[i];
    }
    return t;
}

std::vector<int> ScoresOf(const ScoreTable& t) {
    std::vector<int> s;
    for (const ScoreEntry& e : t.entries) {
        s.push_back(e.score);
    }
    return s;
}

std::vector<std::string> NamesOf(const ScoreTable& t) {
    std::vector<std::string> s;
    for (const ScoreEntry& e : t.entries) {
        s.push_back(e.name);
    }
    return s;
}

// The table loaded from these bytes, as from "scores.dat".
ScoreTable LoadBytes(const std::string& bytes) {
    ScoreTable t;
    FileStream f;
    f.OpenMemory(bytes.data(), bytes.size());
    t.Load(f.Get());
    return t;
}

}  // namespace

TEST(ScoreInsert, TieGoesBelowAndTheLastEntryIsLost) {
    CountingSystem sys;
    ScoreTable t = TableOf({500, 400, 400, 300, 200});
    sys.Answer("Anna");
    t.Insert(400);
    EXPECT_EQ(sys.modals, 1);
    EXPECT_EQ(ScoresOf(t), (std::vector<int>{500, 400, 400, 400, 300}));
    EXPECT_EQ(NamesOf(t), (std::vector<std::string>{"p0", "p1", "p2", "Anna", "p3"}));
}

TEST(ScoreInsert, ScoresThatDoNotBeatAnEntryOpenNoDialog) {
    CountingSystem sys;
    ScoreTable t = TableOf({500, 400, 300, 200, 100});
    t.Insert(100);
    t.Insert(-5);
    EXPECT_EQ(ScoresOf(t), (std::vector<int>{500, 400, 300, 200, 100}));
    ScoreTable cleared;
    cleared.Clear();
    cleared.Insert(0);
    EXPECT_EQ(sys.modals, 0);
    EXPECT_EQ(ScoresOf(cleared), (std::vector<int>{0, 0, 0, 0, 0}));

    sys.Answer("Bo");
    cleared.Insert(15);
    EXPECT_EQ(sys.modals, 1);
    EXPECT_EQ(cleared.entries[0].name, "Bo");
    EXPECT_EQ(cleared.entries[0].score, 15);
    EXPECT_EQ(cleared.entries[1].name, ScoreTable::kClearedName);
}

TEST(ScoreInsert, NegativeScoresCompareSigned) {
    CountingSystem sys;
    ScoreTable t = TableOf({10, 0, -20, -30, -40});
    sys.Answer("Neg");
    t.Insert(-25);
    EXPECT_EQ(ScoresOf(t), (std::vector<int>{10, 0, -20, -25, -30}));
}

TEST(ScoreParse, NameUpToTheFirstTabAndAtoiScore) {
    ScoreEntry e;
    ASSERT_TRUE(ScoreTable::ParseLine("\t70", e));
    EXPECT_EQ(e.name, "");
    EXPECT_EQ(e.score, 70);
    ASSERT_TRUE(ScoreTable::ParseLine("Anna\t12points", e));
    EXPECT_EQ(e.name, "Anna");
    EXPECT_EQ(e.score, 12);
    ASSERT_TRUE(ScoreTable::ParseLine("Jo\tAnn\t5", e));  // a name that held a TAB
    EXPECT_EQ(e.name, "Jo");
    EXPECT_EQ(e.score, 0);
    ASSERT_TRUE(ScoreTable::ParseLine("x\t \v -42 7", e));
    EXPECT_EQ(e.score, -42);
    ASSERT_TRUE(ScoreTable::ParseLine("x\t+7", e));
    EXPECT_EQ(e.score, 7);
    ASSERT_TRUE(ScoreTable::ParseLine("x\t- 7", e));
    EXPECT_EQ(e.score, 0);
    ASSERT_TRUE(ScoreTable::ParseLine("x\t", e));
    EXPECT_EQ(e.score, 0);
}

TEST(ScoreParse, ScoresBeyond32BitsAreClamped) {
    ScoreEntry e;
    ScoreTable::ParseLine("x\t2147483647", e);
    EXPECT_EQ(e.score, INT_MAX);
    ScoreTable::ParseLine("x\t2147483648", e);
    EXPECT_EQ(e.score, INT_MAX);
    ScoreTable::ParseLine("x\t99999999999999999999999999", e);
    EXPECT_EQ(e.score, INT_MAX);
    ScoreTable::ParseLine("x\t-2147483648", e);
    EXPECT_EQ(e.score, INT_MIN);
    ScoreTable::ParseLine("x\t-99999999999999999999999999", e);
    EXPECT_EQ(e.score, INT_MIN);
}

TEST(ScoreLoad, CrLfAndBareLfFilesGiveTheSameTable) {
    const std::string lf = "A\t5\nB\t4\n\t3\nD\t2x\nE\t1\n";
    const std::string crlf = "A\t5\r\nB\t4\r\n\t3\r\nD\t2x\r\nE\t1\r\n";
    for (const std::string& bytes : {lf, crlf}) {
        const ScoreTable t = LoadBytes(bytes);
        EXPECT_EQ(NamesOf(t), (std::vector<std::string>{"A", "B", "", "D", "E"}));
        EXPECT_EQ(ScoresOf(t), (std::vector<int>{5, 4, 3, 2, 1}));
    }
    // Mixed line ends: every line is still read whole.
    const ScoreTable mixed = LoadBytes("A\t5\r\nBob\t4\nCy\t3\r\nDan\t2\nEve\t1\n");
    EXPECT_EQ(NamesOf(mixed), (std::vector<std::string>{"A", "Bob", "Cy", "Dan", "Eve"}));
    EXPECT_EQ(ScoresOf(mixed), (std::vector<int>{5, 4, 3, 2, 1}));
}

TEST(ScoreLoad, ExtraShortAndBrokenLines) {
    // Seven lines: the first five are used, in the file's order.
    const ScoreTable seven = LoadBytes("a\t1\nb\t2\nc\t3\nd\t4\ne\t5\nf\t6\ng\t7\n");
    EXPECT_EQ(ScoresOf(seven), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(seven.entries[4].name, "e");
    // Two lines, one without a TAB, and text after the last line feed: the
    // rest keeps the cleared entries.
    const ScoreTable few = LoadBytes("NoTab 99\nBo\t8\nCy\t7");
    EXPECT_EQ(few.entries[0].name, ScoreTable::kClearedName);
    EXPECT_EQ(few.entries[0].score, 0);
    EXPECT_EQ(few.entries[1].name, "Bo");
    EXPECT_EQ(few.entries[1].score, 8);
    EXPECT_EQ(few.entries[2].name, ScoreTable::kClearedName);
    // No line feed at all, or nothing: the table stays cleared.
    for (const std::string& bytes : {std::string("Al\t5"), std::string(), std::string("\r\r")}) {
        const ScoreTable t = LoadBytes(bytes);
        EXPECT_EQ(ScoresOf(t), (std::vector<int>{0, 0, 0, 0, 0}));
        EXPECT_EQ(t.entries[0].name, ScoreTable::kClearedName);
    }
    // Stray CR and NUL bytes end a line's text without shifting the next line.
    const char odd[] = "Al\rx\t1\nB\0y\t2\nCy\t3\n";
    const ScoreTable t = LoadBytes(std::string(odd, sizeof odd - 1));
    EXPECT_EQ(t.entries[0].name, ScoreTable::kClearedName);
    EXPECT_EQ(t.entries[1].name, ScoreTable::kClearedName);
    EXPECT_EQ(t.entries[2].name, "Cy");
    EXPECT_EQ(t.entries[2].score, 3);
}

TEST(ScoreLoad, LoadClearsAnEarlierTable) {
    ScoreTable t = TableOf({9, 8, 7, 6, 5});
    t.Load("no/such/dir/scores.dat");
    EXPECT_EQ(ScoresOf(t), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(NamesOf(t), std::vector<std::string>(5, ScoreTable::kClearedName));
}

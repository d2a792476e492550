#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Keyboard.h"
#include "platform/Keys.h"
#include "res/Resources.h"
#include "support/GameHarness.h"

namespace {

Message Text(const std::string& s) {
    Message m;
    m.kind = MessageKind::Text;
    m.text = s;
    return m;
}

Message Down(int vk) {
    Message m;
    m.key = vk;
    return m;
}

Message Up(int vk) {
    Message m;
    m.kind = MessageKind::KeyUp;
    m.key = vk;
    return m;
}

// The keystrokes of a player typing the text, one key per tick.
std::vector<Message> Typing(const std::string& text) {
    std::vector<Message> keys;
    for (char c : text) {
        keys.push_back(Text(std::string(1, c)));
    }
    return keys;
}

std::vector<Message> operator+(std::vector<Message> a, const std::vector<Message>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A game that ends with `score` on the table 500, 400, 300, 200, 100, as the
// last lost life ends it: inside tick 2 the high-score screen is switched on
// and the result goes into the table, while the input arrives one message
// per tick from tick 3 on. Records what the frames behind the dialog saw.
struct GameEnd {
    GameHarness h;
    int framesWhileOpen = 0;
    int swapsWhileOpen = 0;
    std::vector<ScoreEntry> tableWhileOpen;
    int scrollAtEnd = -1;
    int hsPixels = -1;

    void Run(int score, const std::vector<Message>& input) {
        Game& g = h.game();
        for (int i = 0; i < ScoreTable::kEntries; ++i) {
            g.highScores.entries[i] = {"p" + std::to_string(i), 500 - 100 * i};
        }
        // A playing frame first: the board's drawing leaves lighting off, so
        // the high-score list keeps its colours, as after a real game.
        h.StartPlaying();
        uint64_t tick = 3;
        for (const Message& m : input) {
            h.sys.Schedule(tick++, m);
        }
        int swapsBefore = 0;
        h.sys.afterTick = [this, &g, score, &swapsBefore](uint64_t t) {
            if (t == 2) {
                swapsBefore = h.sys.SwapCount();
                g.score = score;
                g.gameOver = 1;
                g.waitingForStart = 1;
                g.InsertScore();
                return;
            }
            Dialog* focus = h.sys.Focus();
            if (focus == h.window.get()) {
                return;
            }
            ++framesWhileOpen;
            swapsWhileOpen = h.sys.SwapCount() - swapsBefore;
            tableWhileOpen.assign(g.highScores.entries, g.highScores.entries + 5);
            scrollAtEnd = focus->GetEdit(IDC_NAME_EDIT)->Scroll();
            if (glIsList(1000 + 'A') && hsPixels < 0) {
                h.Grab();
                const int left = h.width / 2 - 150;
                hsPixels = h.CountColour(left, 75, left + 400, 301, 255, 0, 255);
            }
        };
        h.Tick();
        h.sys.afterTick = nullptr;
    }
    const ScoreEntry& Entry(int i) { return h.game().highScores.entries[i]; }
};

}  // namespace

TEST(NameDialogGame, TypedNameAndEnterIsStoredWhileFramesGoOn) {
    GameEnd e;
    // A capital letter comes with SHIFT, which on the high-score screen
    // would clear the table: the game's keys must receive nothing.
    e.Run(350, std::vector<Message>{Down(VK_SHIFT), Text("A"), Up(VK_SHIFT)} + Typing("nna") +
                   std::vector<Message>{Down(VK_RETURN)});
    EXPECT_EQ(e.Entry(2).name, "Anna");
    EXPECT_EQ(e.Entry(2).score, 350);
    EXPECT_EQ(e.Entry(3).name, "p2");
    EXPECT_EQ(e.Entry(4).name, "p3");
    EXPECT_EQ(e.Entry(0).name, "p0");
    EXPECT_EQ(e.h.game().keyFlags, 0);

    // The frames behind the open dialog kept coming, on the high-score
    // screen, with the table already moved down and the new place still
    // showing its former holder.
    EXPECT_GE(e.framesWhileOpen, 6);
    EXPECT_EQ(e.swapsWhileOpen, e.framesWhileOpen);
    ASSERT_EQ(e.tableWhileOpen.size(), 5u);
    EXPECT_EQ(e.tableWhileOpen[2].name, "p2");
    EXPECT_EQ(e.tableWhileOpen[2].score, 300);
    EXPECT_EQ(e.tableWhileOpen[3].name, "p2");
    EXPECT_EQ(e.tableWhileOpen[4].name, "p3");
    if (e.hsPixels >= 0) {
        EXPECT_GT(e.hsPixels, 200) << "the five entries are drawn behind the dialog";
    }
    EXPECT_TRUE(e.h.Tick(2)) << "the game goes on after the dialog";
}

// One harness at a time: each GameEnd lives in its own block.
TEST(NameDialogGame, EscapeAfterTypingAndEnterAtOnceStoreSuperHero) {
    {
        GameEnd e;
        e.Run(450, Typing("Bob") + std::vector<Message>{Down(VK_ESCAPE)});
        EXPECT_EQ(e.Entry(1).name, "SuperHero");
        EXPECT_EQ(e.Entry(1).score, 450);
        EXPECT_TRUE(e.h.Tick()) << "Escape closed the dialog, not the game";
    }
    {
        GameEnd e;
        e.Run(9999, {Down(VK_RETURN)});
        EXPECT_EQ(e.Entry(0).name, "SuperHero");
        EXPECT_EQ(e.Entry(1).name, "p0");
    }
    {
        GameEnd e;
        e.Run(150, Typing("Al") + std::vector<Message>{Down(VK_BACK), Down(VK_BACK), Down(VK_BACK),
                                                       Down(VK_RETURN)});
        EXPECT_EQ(e.Entry(4).name, "SuperHero");
    }
}

TEST(NameDialogGame, BlanksAndLongNamesAreStoredAsTyped) {
    {
        GameEnd e;
        e.Run(201, Typing("   ") + std::vector<Message>{Down(VK_RETURN)});
        EXPECT_EQ(e.Entry(3).name, "   ");
    }
    const std::string longName =
        std::string(60, 'W') + " the Magnificent of " + std::string(80, 'x');
    std::vector<Message> chunks;
    for (size_t i = 0; i < longName.size(); i += 16) {
        chunks.push_back(Text(longName.substr(i, 16)));
    }
    GameEnd e;
    e.Run(600, chunks + std::vector<Message>{Down(VK_RETURN)});
    EXPECT_EQ(e.Entry(0).name, longName);
    EXPECT_GT(e.scrollAtEnd, 0) << "the field scrolled with the text";
}

TEST(NameDialogGame, NoDialogWhenTheScoreDoesNotEnter) {
    GameEnd e;
    e.Run(100, {Down(VK_SHIFT)});
    EXPECT_EQ(e.framesWhileOpen, 0);
    EXPECT_EQ(e.Entry(4).name, "p4");
    e.h.Tick();  // the scripted SHIFT now reaches the high-score screen
    EXPECT_EQ(e.Entry(0).name, ScoreTable::kClearedName);
}

// The table's database: the same results from SQLite and PostgreSQL.
#include <gtest/gtest.h>

#include "ServerFixture.h"

namespace {

class StoreTest : public DatabaseTest {
  protected:
    // Stores a game; its canonical text (and so its hash) is unique by `key`.
    StoreResult<InsertOutcome> Add(const std::string& key, int score, int64_t atMs,
                                   const std::string& name = "Anna", const std::string& token = "",
                                   int64_t ticks = 3000) {
        NewGame game;
        game.name = name;
        game.score = score;
        game.level = 2;
        game.ticks = ticks;
        game.submittedMs = atMs;
        game.system = "linux";
        game.rules = "test-1";
        game.finalState = "state";
        game.hash = Sha(key);
        game.recording = "recording " + key;
        game.token = token;
        return store_->Insert(game);
    }
    static std::string Sha(const std::string& key) { return "hash-" + key; }
};
QUORVAX_BOTH_DATABASES(StoreTest);

TEST_P(StoreTest, MigratingAgainKeepsTheTable) {
    ASSERT_TRUE(Add("a", 15, 1000).ok());
    ASSERT_FALSE(store_->Migrate());
    const auto version = sql_->Exec("SELECT MAX(version) FROM schema_migrations");
    ASSERT_TRUE(version.ok());
    EXPECT_EQ(version.rows.at(0).at(0), std::to_string(Store::kSchemaVersion));
    EXPECT_EQ(store_->Page(std::nullopt, 10).value.size(), 1u);
}

TEST_P(StoreTest, TheSameGameIsOneEntryAndACopyUnderAnotherName) {
    const auto added = Add("a", 30, 1000);
    ASSERT_TRUE(added.ok()) << added.error.message;
    EXPECT_EQ(added.value.kind, InsertOutcome::Added);
    EXPECT_EQ(added.value.game.rank, 1);
    const auto again = Add("a", 30, 2000);
    EXPECT_EQ(again.value.kind, InsertOutcome::SameEntry);
    EXPECT_EQ(again.value.game.id, added.value.game.id);
    const auto copy = Add("a", 30, 3000, "Bert");
    EXPECT_EQ(copy.value.kind, InsertOutcome::Copy);
    EXPECT_EQ(copy.value.game.id, added.value.game.id);
    EXPECT_EQ(store_->Page(std::nullopt, 10).value.size(), 1u);
    EXPECT_EQ(*store_->Recording(added.value.game.id).value, "recording a");
}

TEST_P(StoreTest, PagesFollowScoreThenTimeThenId) {
    // key, score, time: ties in score go by time, ties in time by id.
    const struct {
        const char* key;
        int score;
        int64_t at;
    } games[] = {{"a", 100, 10}, {"b", 300, 20}, {"c", 300, 20}, {"d", 200, 5},
                 {"e", 300, 15}, {"f", 0, 1},    {"g", 300, 30}};
    std::map<std::string, int64_t> ids;
    for (const auto& g : games) {
        const auto added = Add(g.key, g.score, g.at);
        ASSERT_TRUE(added.ok()) << added.error.message;
        ids[g.key] = added.value.game.id;
    }
    const std::vector<std::string> expected = {"e", "b", "c", "g", "d", "a", "f"};
    std::vector<std::string> seen;
    std::optional<Cursor> after;
    for (int pages = 0; pages < 10; ++pages) {
        const auto page = store_->Page(after, 3);
        ASSERT_TRUE(page.ok()) << page.error.message;
        if (page.value.empty()) {
            break;
        }
        for (const GameRecord& game : page.value) {
            for (const auto& [key, id] : ids) {
                if (id == game.id) {
                    seen.push_back(key);
                }
            }
            EXPECT_EQ(game.rank, static_cast<int64_t>(seen.size())) << game.name;
        }
        const GameRecord& last = page.value.back();
        after = Cursor::Decode(Cursor{last.score, last.submittedMs, last.id}.Encode());
        ASSERT_TRUE(after);
    }
    EXPECT_EQ(seen, expected);
    // A new game ranks behind every stored game of its score.
    for (const auto& [score, rank] : std::vector<std::pair<int, int64_t>>{
             {301, 1}, {300, 5}, {250, 5}, {200, 6}, {0, 8}, {-5, 8}}) {
        EXPECT_EQ(store_->RankFor(score).value, rank) << score;
    }
    EXPECT_EQ(store_->Game(ids["c"]).value->rank, 3);
    EXPECT_EQ(store_->BestOf("Anna").value->id, ids["e"]);
    EXPECT_FALSE(store_->BestOf("Nobody").value);
}

TEST_P(StoreTest, AStartTokenMarksAGameLiveOnceAndOnlyIfItTookItsLength) {
    const int64_t length = 3000 * 40;
    ASSERT_FALSE(store_->AddToken("t1", 0));
    ASSERT_FALSE(store_->AddToken("t2", 0));
    EXPECT_FALSE(Add("early", 15, length - 1, "Anna", "t1").value.game.live);
    EXPECT_TRUE(Add("on-time", 15, length, "Anna", "t2").value.game.live);
    EXPECT_FALSE(Add("reused", 15, length, "Anna", "t2").value.game.live);
    EXPECT_FALSE(Add("unknown", 15, length, "Anna", "nope").value.game.live);
}

TEST_P(StoreTest, AdministrationRemovesAndRenames) {
    const int64_t a = Add("a", 300, 1).value.game.id;
    const int64_t b = Add("b", 200, 2).value.game.id;
    EXPECT_EQ(store_->RankFor(250).value, 2);
    EXPECT_TRUE(store_->Remove(a).value);
    EXPECT_FALSE(store_->Remove(a).value);
    EXPECT_EQ(store_->RankFor(250).value, 1);
    EXPECT_FALSE(store_->Recording(a).value);
    EXPECT_TRUE(store_->Rename(b, "<b>Bert</b>").value);
    EXPECT_FALSE(store_->Rename(a, "Bert").value);
    EXPECT_EQ(store_->Game(b).value->name, "<b>Bert</b>");
    EXPECT_EQ(store_->Game(b).value->rank, 1);
}

TEST(CursorTest, OnlyCursorsTheServerWroteAreRead) {
    EXPECT_EQ(Cursor::Decode("300.1700000000000.42")->id, 42);
    EXPECT_EQ(Cursor::Decode("-15.0.1")->score, -15);
    for (const char* bad : {"", "1.2", "1.2.3.4", "a.b.c", "1..3", "1.2.3x", "1.2.",
                            "99999999999999999999.1.1", "1;DROP TABLE games.1.1"}) {
        EXPECT_FALSE(Cursor::Decode(bad)) << bad;
    }
}

}  // namespace

#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/Sql.h"

// One stored game as the table shows it.
struct GameRecord {
    int64_t id = 0;
    int64_t rank = 0;
    std::string name;
    int score = 0;
    int level = 0;
    int64_t ticks = 0;
    int64_t submittedMs = 0;  // milliseconds since 1970, UTC
    std::string system;
    std::string rules;
    bool live = false;
    std::string finalState;
};

// A verified game on its way into the table.
struct NewGame {
    std::string name;
    int score = 0;
    int level = 0;
    int64_t ticks = 0;
    int64_t submittedMs = 0;
    std::string system;
    std::string rules;
    std::string finalState;
    std::string hash;       // SHA-256 of the canonical recording, hex
    std::string recording;  // the canonical recording
    std::string token;      // the start token it brought, or ""
};

// Where the table continues: the last row shown (score, time, id).
struct Cursor {
    int score = 0;
    int64_t submittedMs = 0;
    int64_t id = 0;
    std::string Encode() const;
    // Null for anything that is not a cursor this server wrote.
    static std::optional<Cursor> Decode(const std::string& text);
};

// What submitting a game did.
struct InsertOutcome {
    enum Kind { Added, SameEntry, Copy };
    Kind kind = Added;
    GameRecord game;
};

// A value or the database's error.
template <typename T>
struct StoreResult {
    T value{};
    SqlError error;
    bool ok() const { return !error; }
};

// The table's queries and changes over one database connection, the same
// statements for SQLite and PostgreSQL. Every change is one transaction.
class Store {
  public:
    explicit Store(SqlConnection& sql) : sql_(sql) {}

    // Brings the schema to the current version; run once at every start.
    SqlError Migrate();
    // Stores a verified game unless its canonical recording is already stored.
    StoreResult<InsertOutcome> Insert(const NewGame& game);
    // Up to `limit` games after `after` (or from the top), in table order.
    StoreResult<std::vector<GameRecord>> Page(const std::optional<Cursor>& after, int limit);
    StoreResult<std::optional<GameRecord>> Game(int64_t id);
    StoreResult<std::optional<std::string>> Recording(int64_t id);
    // The best game stored under `name`, with its rank.
    StoreResult<std::optional<GameRecord>> BestOf(const std::string& name);
    // The rank a new game with `score` would get now.
    StoreResult<int64_t> RankFor(int score);
    // Records a start token issued at `nowMs`.
    SqlError AddToken(const std::string& token, int64_t nowMs);
    // Local administration: false when no game has that id.
    StoreResult<bool> Remove(int64_t id);
    StoreResult<bool> Rename(int64_t id, const std::string& name);
    // True when the database answers.
    bool Healthy();

    static constexpr int kSchemaVersion = 1;

  private:
    StoreResult<InsertOutcome> TryInsert(const NewGame& game);
    StoreResult<int64_t> RankOf(const GameRecord& game);
    StoreResult<std::optional<GameRecord>> FirstRanked(StoreResult<std::vector<GameRecord>> rows);
    StoreResult<std::vector<GameRecord>> Select(const std::string& where,
                                                const std::vector<SqlParam>& params);
    void Rollback();

    SqlConnection& sql_;
};

#include "server/Store.h"

#include <charconv>

namespace {

// The columns every game query reads, in GameRecord's order.
const char* const kColumns =
    "SELECT id, name, score, level, ticks, submitted, system, rules, live, final_state "
    "FROM games ";
const char* const kOrder = " ORDER BY score DESC, submitted, id ";

// Start tokens are kept for a day; a game longer than that is not live.
constexpr int64_t kTokenLifetimeMs = 24ll * 3600 * 1000;
constexpr int64_t kMsPerTick = 40;

// The schema, one entry per version, in each dialect.
struct Migration {
    int version;
    const char* sqlite;
    const char* postgresql;
};
const Migration kMigrations[] = {
    {1,
     "CREATE TABLE games(id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL,"
     " score INTEGER NOT NULL, level INTEGER NOT NULL, ticks INTEGER NOT NULL,"
     " submitted INTEGER NOT NULL, system TEXT NOT NULL, rules TEXT NOT NULL,"
     " live INTEGER NOT NULL, final_state TEXT NOT NULL, hash TEXT NOT NULL UNIQUE);"
     "CREATE INDEX games_order ON games(score DESC, submitted, id);"
     "CREATE INDEX games_name ON games(name, score DESC, submitted, id);"
     "CREATE TABLE recordings(game_id INTEGER PRIMARY KEY REFERENCES games(id) ON DELETE CASCADE,"
     " text TEXT NOT NULL);"
     "CREATE TABLE score_counts(score INTEGER PRIMARY KEY, n INTEGER NOT NULL);"
     "CREATE TABLE tokens(token TEXT PRIMARY KEY, issued INTEGER NOT NULL);",
     "CREATE TABLE games(id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, name TEXT NOT NULL,"
     " score INTEGER NOT NULL, level INTEGER NOT NULL, ticks BIGINT NOT NULL,"
     " submitted BIGINT NOT NULL, system TEXT NOT NULL, rules TEXT NOT NULL,"
     " live INTEGER NOT NULL, final_state TEXT NOT NULL, hash TEXT NOT NULL UNIQUE);"
     "CREATE INDEX games_order ON games(score DESC, submitted, id);"
     "CREATE INDEX games_name ON games(name, score DESC, submitted, id);"
     "CREATE TABLE recordings(game_id BIGINT PRIMARY KEY REFERENCES games(id) ON DELETE CASCADE,"
     " text TEXT NOT NULL);"
     "CREATE TABLE score_counts(score INTEGER PRIMARY KEY, n BIGINT NOT NULL);"
     "CREATE TABLE tokens(token TEXT PRIMARY KEY, issued BIGINT NOT NULL);"},
};

int64_t ToInt(const std::optional<std::string>& text) {
    int64_t value = 0;
    if (text) {
        std::from_chars(text->data(), text->data() + text->size(), value);
    }
    return value;
}

GameRecord RecordOf(const SqlRow& row) {
    GameRecord game;
    game.id = ToInt(row[0]);
    game.name = row[1].value_or("");
    game.score = static_cast<int>(ToInt(row[2]));
    game.level = static_cast<int>(ToInt(row[3]));
    game.ticks = ToInt(row[4]);
    game.submittedMs = ToInt(row[5]);
    game.system = row[6].value_or("");
    game.rules = row[7].value_or("");
    game.live = ToInt(row[8]) != 0;
    game.finalState = row[9].value_or("");
    return game;
}

// Splits the statements of one migration (none of them holds a ';' in text).
std::vector<std::string> Statements(const char* script) {
    std::vector<std::string> out;
    std::string current;
    for (const char* p = script; *p; ++p) {
        if (*p == ';') {
            out.push_back(current);
            current.clear();
        } else {
            current += *p;
        }
    }
    if (current.find_first_not_of(" \n") != std::string::npos) {
        out.push_back(current);
    }
    return out;
}

}  // namespace

std::string Cursor::Encode() const {
    return std::to_string(score) + "." + std::to_string(submittedMs) + "." + std::to_string(id);
}

std::optional<Cursor> Cursor::Decode(const std::string& text) {
    Cursor cursor;
    const char* p = text.data();
    const char* end = p + text.size();
    auto field = [&](auto& value, bool last) {
        auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc() || next == p ||
            (last ? next != end : (next == end || *next != '.'))) {
            return false;
        }
        p = last ? next : next + 1;
        return true;
    };
    if (!field(cursor.score, false) || !field(cursor.submittedMs, false) ||
        !field(cursor.id, true)) {
        return std::nullopt;
    }
    return cursor;
}

void Store::Rollback() {
    sql_.Exec("ROLLBACK", {});
}

SqlError Store::Migrate() {
    const bool pg = std::string(sql_.Dialect()) == "postgresql";
    if (SqlError error = sql_.BeginWrite()) {
        return error;
    }
    // Two servers starting on one database migrate one after the other.
    const char* const setup[] = {
        pg ? "SELECT pg_advisory_xact_lock(2626026)" : "SELECT 1",
        "CREATE TABLE IF NOT EXISTS schema_migrations(version INTEGER PRIMARY KEY)",
    };
    for (const char* sql : setup) {
        if (SqlError error = sql_.Exec(sql, {}).error) {
            Rollback();
            return error;
        }
    }
    const SqlResult current = sql_.Exec("SELECT COALESCE(MAX(version), 0) FROM schema_migrations");
    if (!current.ok()) {
        Rollback();
        return current.error;
    }
    const int64_t have = ToInt(current.rows.at(0).at(0));
    if (have > kSchemaVersion) {
        Rollback();
        return {SqlError::Other, "the database has schema version " + std::to_string(have) +
                                     ", newer than this server's " +
                                     std::to_string(kSchemaVersion)};
    }
    for (const Migration& migration : kMigrations) {
        if (migration.version <= have) {
            continue;
        }
        for (const std::string& statement :
             Statements(pg ? migration.postgresql : migration.sqlite)) {
            if (SqlError error = sql_.Exec(statement, {}).error) {
                Rollback();
                return error;
            }
        }
        if (SqlError error = sql_.Exec("INSERT INTO schema_migrations(version) VALUES(?)",
                                       {int64_t{migration.version}})
                                 .error) {
            Rollback();
            return error;
        }
    }
    return sql_.Exec("COMMIT", {}).error;
}

StoreResult<std::vector<GameRecord>> Store::Select(const std::string& where,
                                                   const std::vector<SqlParam>& params) {
    StoreResult<std::vector<GameRecord>> out;
    const SqlResult result = sql_.Exec(kColumns + where, params);
    out.error = result.error;
    for (const SqlRow& row : result.rows) {
        out.value.push_back(RecordOf(row));
    }
    return out;
}

StoreResult<int64_t> Store::RankOf(const GameRecord& game) {
    StoreResult<int64_t> out;
    const SqlResult higher = sql_.Exec(
        "SELECT COALESCE(SUM(n), 0) FROM score_counts WHERE score > ?", {int64_t{game.score}});
    const SqlResult before =
        higher.ok() ? sql_.Exec(
                          "SELECT COUNT(*) FROM games WHERE score = ? AND "
                          "(submitted < ? OR (submitted = ? AND id < ?))",
                          {int64_t{game.score}, game.submittedMs, game.submittedMs, game.id})
                    : higher;
    out.error = before.error;
    if (out.ok()) {
        out.value = ToInt(higher.rows.at(0).at(0)) + ToInt(before.rows.at(0).at(0)) + 1;
    }
    return out;
}

StoreResult<int64_t> Store::RankFor(int score) {
    StoreResult<int64_t> out;
    const SqlResult result = sql_.Exec(
        "SELECT COALESCE(SUM(n), 0) FROM score_counts WHERE score >= ?", {int64_t{score}});
    out.error = result.error;
    if (out.ok()) {
        out.value = ToInt(result.rows.at(0).at(0)) + 1;
    }
    return out;
}

StoreResult<std::vector<GameRecord>> Store::Page(const std::optional<Cursor>& after, int limit) {
    StoreResult<std::vector<GameRecord>> page =
        after ? Select(
                    "WHERE score < ? OR (score = ? AND (submitted > ? OR (submitted = ? AND "
                    "id > ?)))" +
                        std::string(kOrder) + "LIMIT ?",
                    {int64_t{after->score}, int64_t{after->score}, after->submittedMs,
                     after->submittedMs, after->id, int64_t{limit}})
              : Select(std::string(kOrder) + "LIMIT ?", {int64_t{limit}});
    if (!page.ok() || page.value.empty()) {
        return page;
    }
    const StoreResult<int64_t> first = RankOf(page.value.front());
    if (!first.ok()) {
        page.error = first.error;
        return page;
    }
    for (size_t i = 0; i < page.value.size(); ++i) {
        page.value[i].rank = first.value + static_cast<int64_t>(i);
    }
    return page;
}

// Game, BestOf: the first row found, with its rank.
StoreResult<std::optional<GameRecord>> Store::FirstRanked(
    StoreResult<std::vector<GameRecord>> rows) {
    StoreResult<std::optional<GameRecord>> out;
    out.error = rows.error;
    if (rows.ok() && !rows.value.empty()) {
        const StoreResult<int64_t> rank = RankOf(rows.value.front());
        out.error = rank.error;
        rows.value.front().rank = rank.value;
        out.value = rows.value.front();
    }
    return out;
}

StoreResult<std::optional<GameRecord>> Store::Game(int64_t id) {
    return FirstRanked(Select("WHERE id = ?", {id}));
}

StoreResult<std::optional<GameRecord>> Store::BestOf(const std::string& name) {
    return FirstRanked(Select("WHERE name = ?" + std::string(kOrder) + "LIMIT 1", {name}));
}

StoreResult<std::optional<std::string>> Store::Recording(int64_t id) {
    StoreResult<std::optional<std::string>> out;
    const SqlResult result = sql_.Exec("SELECT text FROM recordings WHERE game_id = ?", {id});
    out.error = result.error;
    if (result.ok() && !result.rows.empty()) {
        out.value = result.rows.front().at(0);
    }
    return out;
}

StoreResult<InsertOutcome> Store::Insert(const NewGame& game) {
    StoreResult<InsertOutcome> out = TryInsert(game);
    // Two servers storing the same game at once: the loser finds the winner's.
    if (out.error.kind == SqlError::Conflict) {
        out = TryInsert(game);
    }
    return out;
}

StoreResult<InsertOutcome> Store::TryInsert(const NewGame& game) {
    StoreResult<InsertOutcome> out;
    auto fail = [&](const SqlError& error) {
        Rollback();
        out.error = error;
        return out;
    };
    if (SqlError error = sql_.BeginWrite()) {
        out.error = error;
        return out;
    }
    const SqlResult existing = sql_.Exec("SELECT id, name FROM games WHERE hash = ?", {game.hash});
    if (!existing.ok()) {
        return fail(existing.error);
    }
    if (!existing.rows.empty()) {
        Rollback();
        const int64_t id = ToInt(existing.rows.front().at(0));
        const StoreResult<std::optional<GameRecord>> stored = Game(id);
        out.error = stored.error;
        if (stored.ok() && stored.value) {
            out.value.game = *stored.value;
            out.value.kind =
                stored.value->name == game.name ? InsertOutcome::SameEntry : InsertOutcome::Copy;
        } else if (stored.ok()) {
            out.error = {SqlError::Conflict, "the stored game was removed meanwhile"};
        }
        return out;
    }
    bool live = false;
    if (!game.token.empty()) {
        // A token counts once; it proves play only if the game took its own
        // length in time after the token was issued.
        const SqlResult token =
            sql_.Exec("DELETE FROM tokens WHERE token = ? RETURNING issued", {game.token});
        if (!token.ok()) {
            return fail(token.error);
        }
        if (!token.rows.empty()) {
            const int64_t issued = ToInt(token.rows.front().at(0));
            live = game.submittedMs - issued >= game.ticks * kMsPerTick &&
                   game.submittedMs - issued <= kTokenLifetimeMs;
        }
    }
    const SqlResult inserted = sql_.Exec(
        "INSERT INTO games(name, score, level, ticks, submitted, system, rules, live, "
        "final_state, hash) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id",
        {game.name, int64_t{game.score}, int64_t{game.level}, game.ticks, game.submittedMs,
         game.system, game.rules, int64_t{live ? 1 : 0}, game.finalState, game.hash});
    if (!inserted.ok()) {
        return fail(inserted.error);
    }
    GameRecord& record = out.value.game;
    record.id = ToInt(inserted.rows.at(0).at(0));
    record.name = game.name;
    record.score = game.score;
    record.level = game.level;
    record.ticks = game.ticks;
    record.submittedMs = game.submittedMs;
    record.system = game.system;
    record.rules = game.rules;
    record.live = live;
    record.finalState = game.finalState;
    for (const auto& [sql, params] :
         {std::pair<const char*, std::vector<SqlParam>>{
              "INSERT INTO recordings(game_id, text) VALUES(?, ?)", {record.id, game.recording}},
          {"INSERT INTO score_counts(score, n) VALUES(?, 1) ON CONFLICT(score) DO UPDATE SET "
           "n = score_counts.n + 1",
           {int64_t{game.score}}}}) {
        if (SqlError error = sql_.Exec(sql, params).error) {
            return fail(error);
        }
    }
    const StoreResult<int64_t> rank = RankOf(record);
    if (!rank.ok()) {
        return fail(rank.error);
    }
    record.rank = rank.value;
    if (SqlError error = sql_.Exec("COMMIT", {}).error) {
        return fail(error);
    }
    out.value.kind = InsertOutcome::Added;
    return out;
}

SqlError Store::AddToken(const std::string& token, int64_t nowMs) {
    if (SqlError error = sql_.BeginWrite()) {
        return error;
    }
    for (const auto& [sql, params] :
         {std::pair<const char*, std::vector<SqlParam>>{"DELETE FROM tokens WHERE issued < ?",
                                                        {nowMs - kTokenLifetimeMs}},
          {"INSERT INTO tokens(token, issued) VALUES(?, ?)", {token, nowMs}},
          {"COMMIT", {}}}) {
        if (SqlError error = sql_.Exec(sql, params).error) {
            Rollback();
            return error;
        }
    }
    return {};
}

StoreResult<bool> Store::Remove(int64_t id) {
    StoreResult<bool> out;
    if ((out.error = sql_.BeginWrite())) {
        return out;
    }
    const SqlResult deleted = sql_.Exec("DELETE FROM games WHERE id = ? RETURNING score", {id});
    if (!deleted.ok() || deleted.rows.empty()) {
        Rollback();
        out.error = deleted.error;
        return out;
    }
    const int64_t score = ToInt(deleted.rows.front().at(0));
    for (const char* sql : {"UPDATE score_counts SET n = n - 1 WHERE score = ?",
                            "DELETE FROM score_counts WHERE score = ? AND n <= 0"}) {
        if ((out.error = sql_.Exec(sql, {score}).error)) {
            Rollback();
            return out;
        }
    }
    out.error = sql_.Exec("COMMIT", {}).error;
    out.value = out.ok();
    return out;
}

StoreResult<bool> Store::Rename(int64_t id, const std::string& name) {
    StoreResult<bool> out;
    const SqlResult result =
        sql_.Exec("UPDATE games SET name = ? WHERE id = ? RETURNING id", {name, id});
    out.error = result.error;
    out.value = result.ok() && !result.rows.empty();
    return out;
}

bool Store::Healthy() {
    return sql_.Exec("SELECT 1", {}).ok();
}

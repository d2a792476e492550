#include "server/SqliteConnection.h"

namespace {

// Finalizes a prepared statement on every way out.
struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

}  // namespace

SqliteConnection::~SqliteConnection() {
    sqlite3_close_v2(db_);
}

std::unique_ptr<SqliteConnection> SqliteConnection::Open(const std::string& path,
                                                         std::string& error) {
    sqlite3* db = nullptr;
    const int code =
        sqlite3_open_v2(path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
        sqlite3_close_v2(db);
        return nullptr;
    }
    std::unique_ptr<SqliteConnection> connection(new SqliteConnection(db));
    // Writers queue behind each other for up to ten seconds; readers never wait.
    sqlite3_busy_timeout(db, 10000);
    for (const char* pragma :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON"}) {
        const SqlResult result = connection->Exec(pragma, {});
        if (!result.ok()) {
            error = result.error.message;
            return nullptr;
        }
    }
    return connection;
}

SqlError SqliteConnection::ErrorOf(int code) const {
    SqlError error;
    const int primary = code & 0xff;
    if (primary == SQLITE_CONSTRAINT) {
        error.kind = SqlError::Conflict;
    } else if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_IOERR ||
               primary == SQLITE_CANTOPEN || primary == SQLITE_FULL || primary == SQLITE_READONLY) {
        error.kind = SqlError::Unavailable;
    } else {
        error.kind = SqlError::Other;
    }
    error.message = sqlite3_errmsg(db_);
    return error;
}

SqlResult SqliteConnection::Exec(const std::string& sql, const std::vector<SqlParam>& params) {
    SqlResult result;
    Statement statement;
    int code = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement.stmt,
                                  nullptr);
    if (code != SQLITE_OK) {
        result.error = ErrorOf(code);
        return result;
    }
    for (size_t i = 0; i < params.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        if (const auto* number = std::get_if<int64_t>(&params[i])) {
            code = sqlite3_bind_int64(statement.stmt, index, *number);
        } else {
            const std::string& text = std::get<std::string>(params[i]);
            code = sqlite3_bind_text(statement.stmt, index, text.data(),
                                     static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
        if (code != SQLITE_OK) {
            result.error = ErrorOf(code);
            return result;
        }
    }
    const int columns = sqlite3_column_count(statement.stmt);
    while ((code = sqlite3_step(statement.stmt)) == SQLITE_ROW) {
        SqlRow row(columns);
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(statement.stmt, c) == SQLITE_NULL) {
                continue;
            }
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(statement.stmt, c));
            row[c] = std::string(text, sqlite3_column_bytes(statement.stmt, c));
        }
        result.rows.push_back(std::move(row));
    }
    if (code != SQLITE_DONE) {
        result.error = ErrorOf(code);
        result.rows.clear();
    }
    return result;
}

SqlError SqliteConnection::BeginWrite() {
    // IMMEDIATE takes the write lock now: a deferred transaction that later
    // upgrades can fail with SQLITE_BUSY despite the busy timeout.
    return Exec("BEGIN IMMEDIATE", {}).error;
}

#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// One value bound to a statement's placeholder: statements are constant text
// with '?' placeholders; values never become part of the SQL.
using SqlParam = std::variant<int64_t, std::string>;
using SqlRow = std::vector<std::optional<std::string>>;

// Why a statement failed: the database unreachable (answered as 503), a
// unique key already taken (a race the caller retries), or anything else.
struct SqlError {
    enum Kind { None, Unavailable, Conflict, Other };
    Kind kind = None;
    std::string message;
    explicit operator bool() const { return kind != None; }
};

// Rows of one statement, or the error that stopped it.
struct SqlResult {
    std::vector<SqlRow> rows;
    SqlError error;
    bool ok() const { return !error; }
};

// One connection to the table's database (SQLite file or PostgreSQL server).
// Used by one thread at a time; the server keeps a pool of them.
class SqlConnection {
  public:
    virtual ~SqlConnection() = default;
    // Runs one statement with its parameters bound.
    virtual SqlResult Exec(const std::string& sql, const std::vector<SqlParam>& params = {}) = 0;
    // Opens a write transaction that holds the writer's lock from its start.
    virtual SqlError BeginWrite() = 0;
    // "sqlite" or "postgresql": picks the dialect of the schema's statements.
    virtual const char* Dialect() const = 0;
    // Reconnects after the server was lost; true when the connection is usable.
    virtual bool Reconnect() { return true; }
};

// Opens a connection to `database`: a postgresql:// URI, or otherwise the
// path of a SQLite file. Null with `error` set when it cannot be opened.
std::unique_ptr<SqlConnection> OpenSqlConnection(const std::string& database, std::string& error);

#pragma once
#include <sqlite3.h>

#include <string>

#include "server/Sql.h"

// A connection to the table's SQLite file, in WAL mode so readers never
// wait for the writer.
class SqliteConnection : public SqlConnection {
  public:
    ~SqliteConnection() override;
    // Opens (creating) the file; null with `error` set on failure.
    static std::unique_ptr<SqliteConnection> Open(const std::string& path, std::string& error);

    SqlResult Exec(const std::string& sql, const std::vector<SqlParam>& params) override;
    SqlError BeginWrite() override;
    const char* Dialect() const override { return "sqlite"; }

  private:
    explicit SqliteConnection(sqlite3* db) : db_(db) {}
    SqlError ErrorOf(int code) const;

    sqlite3* db_;
};

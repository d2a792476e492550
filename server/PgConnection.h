#pragma once
#include <libpq-fe.h>

#include <string>

#include "server/Sql.h"

// A connection to a PostgreSQL server through libpq. Statements are sent
// with their parameters apart (PQexecParams); '?' placeholders become $n.
class PgConnection : public SqlConnection {
  public:
    ~PgConnection() override;
    // Connects to `uri`; null with `error` set when the server cannot be reached.
    static std::unique_ptr<PgConnection> Open(const std::string& uri, std::string& error);

    SqlResult Exec(const std::string& sql, const std::vector<SqlParam>& params) override;
    SqlError BeginWrite() override;
    const char* Dialect() const override { return "postgresql"; }
    bool Reconnect() override;

  private:
    explicit PgConnection(PGconn* conn) : conn_(conn) {}

    PGconn* conn_;
};

// The statement text with each '?' outside quotes replaced by $1, $2, ...
std::string NumberPlaceholders(const std::string& sql);

#include "server/PgConnection.h"

#include <cstring>

namespace {

// Clears a libpq result on every way out.
struct PgResult {
    PGresult* result = nullptr;
    ~PgResult() { PQclear(result); }
};

}  // namespace

std::string NumberPlaceholders(const std::string& sql) {
    std::string out;
    out.reserve(sql.size() + 16);
    int next = 1;
    bool quoted = false;
    for (const char c : sql) {
        if (c == '\'') {
            quoted = !quoted;
        }
        if (c == '?' && !quoted) {
            out += '$' + std::to_string(next++);
        } else {
            out += c;
        }
    }
    return out;
}

PgConnection::~PgConnection() {
    PQfinish(conn_);
}

std::unique_ptr<PgConnection> PgConnection::Open(const std::string& uri, std::string& error) {
    PGconn* conn = PQconnectdb(uri.c_str());
    if (conn == nullptr || PQstatus(conn) != CONNECTION_OK) {
        error = conn ? PQerrorMessage(conn) : "out of memory";
        while (!error.empty() && (error.back() == '\n' || error.back() == ' ')) {
            error.pop_back();
        }
        PQfinish(conn);
        return nullptr;
    }
    // Warnings of the server (NOTICE) are not the client's output.
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    return std::unique_ptr<PgConnection>(new PgConnection(conn));
}

bool PgConnection::Reconnect() {
    if (PQstatus(conn_) == CONNECTION_OK) {
        return true;
    }
    PQreset(conn_);
    return PQstatus(conn_) == CONNECTION_OK;
}

SqlResult PgConnection::Exec(const std::string& sql, const std::vector<SqlParam>& params) {
    SqlResult result;
    if (PQstatus(conn_) != CONNECTION_OK && !Reconnect()) {
        result.error = {SqlError::Unavailable, "the database server is unreachable"};
        return result;
    }
    std::vector<std::string> texts;
    texts.reserve(params.size());
    for (const SqlParam& param : params) {
        if (const auto* number = std::get_if<int64_t>(&param)) {
            texts.push_back(std::to_string(*number));
        } else {
            texts.push_back(std::get<std::string>(param));
        }
    }
    std::vector<const char*> values;
    for (const std::string& text : texts) {
        values.push_back(text.c_str());
    }
    PgResult pg;
    pg.result =
        PQexecParams(conn_, NumberPlaceholders(sql).c_str(), static_cast<int>(values.size()),
                     nullptr, values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = pg.result ? PQresultStatus(pg.result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const char* state = pg.result ? PQresultErrorField(pg.result, PG_DIAG_SQLSTATE) : nullptr;
        if (PQstatus(conn_) != CONNECTION_OK || state == nullptr ||
            std::strncmp(state, "08", 2) == 0 || std::strncmp(state, "57", 2) == 0) {
            result.error.kind = SqlError::Unavailable;
        } else if (std::strcmp(state, "23505") == 0 || std::strcmp(state, "40001") == 0 ||
                   std::strcmp(state, "40P01") == 0) {
            result.error.kind = SqlError::Conflict;
        } else {
            result.error.kind = SqlError::Other;
        }
        result.error.message = PQerrorMessage(conn_);
        while (!result.error.message.empty() && result.error.message.back() == '\n') {
            result.error.message.pop_back();
        }
        return result;
    }
    const int rows = PQntuples(pg.result);
    const int columns = PQnfields(pg.result);
    result.rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        SqlRow row(columns);
        for (int c = 0; c < columns; ++c) {
            if (!PQgetisnull(pg.result, r, c)) {
                row[c] = std::string(PQgetvalue(pg.result, r, c), PQgetlength(pg.result, r, c));
            }
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

SqlError PgConnection::BeginWrite() {
    return Exec("BEGIN", {}).error;
}

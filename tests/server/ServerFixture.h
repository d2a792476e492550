#pragma once
// What the server's tests share: databases to run against (a SQLite file
// in a scratch directory, and PostgreSQL when QUORVAX_TEST_POSTGRES names
// one), and a client that speaks plain HTTP/1.1.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "server/ConnectionPool.h"
#include "server/Store.h"

// Sends `request` to 127.0.0.1:`port` as it stands and reads the answer to
// the end; "" when the connection fails.
std::string HttpExchange(unsigned short port, const std::string& request);
// The status and body of an answer, for a JSON request of one line.
struct HttpAnswer {
    int status = 0;
    std::string body;
};
HttpAnswer HttpCall(unsigned short port, const std::string& method, const std::string& target,
                    const std::string& body = "");

// An empty, migrated database of the kind the test parameter names.
class DatabaseTest : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string database_;  // what OpenSqlConnection takes
    std::unique_ptr<SqlConnection> sql_;
    std::unique_ptr<Store> store_;
    std::filesystem::path dir_;
};

// "sqlite" always, "postgresql" too (skipped without a server).
#define QUORVAX_BOTH_DATABASES(Suite)                                                     \
    INSTANTIATE_TEST_SUITE_P(Databases, Suite, ::testing::Values("sqlite", "postgresql"), \
                             [](const auto& info) { return info.param; })

#pragma once
// What the server's tests share: databases to run against (a SQLite file
// in a scratch directory, and PostgreSQL when QUORVAX_TEST_POSTGRES names
// one), and recordings for the stand-in verifier.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "server/ConnectionPool.h"
#include "server/Store.h"

// A recording the stand-in verifier proves to end with `score`.
std::string FakeGame(int score, int level = 1, uint64_t ticks = 3000,
                     const std::string& extra = "");

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

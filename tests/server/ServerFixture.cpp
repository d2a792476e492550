#include "ServerFixture.h"

#include <cstdlib>
#include <random>

std::string FakeGame(int score, int level, uint64_t ticks, const std::string& extra) {
    return "quorvax-test-game\nrules test-1\nsystem linux\nscore " + std::to_string(score) +
           "\nlevel " + std::to_string(level) + "\nticks 10 " + std::to_string(10 + ticks) + "\n" +
           extra;
}

void DatabaseTest::SetUp() {
    if (GetParam() == "postgresql") {
        const char* uri = std::getenv("QUORVAX_TEST_POSTGRES");
        if (uri == nullptr) {
            GTEST_SKIP() << "no PostgreSQL (the postgresql test runs these under pg_virtualenv)";
        }
        database_ = uri;
    } else {
        dir_ = std::filesystem::temp_directory_path() /
               ("quorvax-server-test-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir_);
        database_ = (dir_ / "table.sqlite").string();
    }
    std::string error;
    sql_ = OpenSqlConnection(database_, error);
    ASSERT_TRUE(sql_) << error;
    if (GetParam() == "postgresql") {
        ASSERT_TRUE(sql_->Exec("DROP SCHEMA public CASCADE").ok());
        ASSERT_TRUE(sql_->Exec("CREATE SCHEMA public").ok());
    }
    store_ = std::make_unique<Store>(*sql_);
    const SqlError migrated = store_->Migrate();
    ASSERT_FALSE(migrated) << migrated.message;
}

void DatabaseTest::TearDown() {
    store_.reset();
    sql_.reset();
    if (!dir_.empty()) {
        std::filesystem::remove_all(dir_);
    }
}

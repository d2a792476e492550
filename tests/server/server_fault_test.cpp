// The server as a process under faults: killed during submissions, its
// database stopped, two of them on one PostgreSQL.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "RealGames.h"
#include "ServerFixture.h"
#include "ServerProcess.h"

using nlohmann::json;

namespace {

// A different real game for every `wait`; its replay takes about 400 + `wait` ticks.
std::string Submission(const std::string& name, int wait) {
    return json{{"name", name}, {"recording", BombedGameRecording(wait)}}.dump();
}

// Every game of the table, read page by page through the API.
json WholeTable(unsigned short port) {
    json all = json::array();
    std::string target = "/api/games?limit=7";
    while (true) {
        const HttpAnswer answer = HttpCall(port, "GET", target);
        if (answer.status != 200) {
            return nullptr;
        }
        const json page = json::parse(answer.body);
        for (const json& game : page["games"]) {
            all.push_back(game);
        }
        if (page["next"].is_null()) {
            return all;
        }
        target = "/api/games?limit=7&after=" + page["next"].get<std::string>();
    }
}

class FaultTest : public DatabaseTest {};
QUORVAX_BOTH_DATABASES(FaultTest);

TEST_P(FaultTest, KilledDuringSubmissionsItKeepsEveryAcknowledgedGameOnceAndWhole) {
    constexpr int kGames = 100;
    // Games of some 3400 ticks each, so that the kill comes amid them.
    std::vector<std::string> bodies;
    for (int i = 0; i < kGames; ++i) {
        bodies.push_back(Submission("P" + std::to_string(i), 3000 + i));
    }
    auto server = std::make_unique<ServerProcess>(database_);
    ASSERT_NE(server->port(), 0);
    std::mutex mutex;
    std::map<int, int64_t> acknowledged;  // game -> id
    std::vector<std::thread> clients;
    for (int i = 0; i < kGames; ++i) {
        clients.emplace_back([&, i] {
            const HttpAnswer answer = HttpCall(server->port(), "POST", "/api/games", bodies[i]);
            if (answer.status == 201 || answer.status == 200) {
                std::lock_guard lock(mutex);
                acknowledged[i] = json::parse(answer.body)["id"];
            }
        });
    }
    for (int waited = 0; waited < 1000; ++waited) {
        {
            std::lock_guard lock(mutex);
            if (acknowledged.size() >= kGames / 3) {
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    server->Stop(SIGKILL);
    for (std::thread& client : clients) {
        client.join();
    }
    ASSERT_GE(acknowledged.size(), static_cast<size_t>(kGames / 3));
    ASSERT_LT(acknowledged.size(), static_cast<size_t>(kGames));

    server = std::make_unique<ServerProcess>(database_);
    ASSERT_NE(server->port(), 0);
    const json table = WholeTable(server->port());
    std::map<int64_t, int> seen;
    for (const json& game : table) {
        ++seen[game["id"].get<int64_t>()];
    }
    for (const auto& [game, id] : acknowledged) {
        EXPECT_EQ(seen[id], 1) << "game " << game;
    }
    // Nothing half-written: every game has its recording and is counted.
    const SqlResult counts = sql_->Exec(
        "SELECT (SELECT COUNT(*) FROM games), (SELECT COUNT(*) FROM recordings), "
        "(SELECT COALESCE(SUM(n), 0) FROM score_counts)");
    ASSERT_TRUE(counts.ok()) << counts.error.message;
    EXPECT_EQ(counts.rows[0][0], std::to_string(table.size()));
    EXPECT_EQ(counts.rows[0][1], counts.rows[0][0]);
    EXPECT_EQ(counts.rows[0][2], counts.rows[0][0]);
    // Sent again, each game is stored once.
    for (int i = 0; i < kGames; ++i) {
        const int status = HttpCall(server->port(), "POST", "/api/games", bodies[i]).status;
        EXPECT_TRUE(acknowledged.count(i) ? status == 200 : (status == 201 || status == 200))
            << i << " " << status;
    }
    EXPECT_EQ(WholeTable(server->port()).size(), static_cast<size_t>(kGames));
}

TEST_P(FaultTest, TwoProcessesOnOneDatabaseShowTheSameTable) {
    ServerProcess first(database_);
    ServerProcess second(database_);
    ASSERT_NE(first.port(), 0);
    ASSERT_NE(second.port(), 0);
    std::vector<std::thread> clients;
    std::atomic<int> stored{0};
    for (int i = 0; i < 40; ++i) {
        clients.emplace_back([&, i] {
            // Every game goes to both; one stores it, the other finds it.
            for (const ServerProcess* server : {&first, &second}) {
                const int status = HttpCall(server->port(), "POST", "/api/games",
                                            Submission("P" + std::to_string(i), i))
                                       .status;
                stored += status == 201;
                EXPECT_TRUE(status == 201 || status == 200) << status;
            }
        });
    }
    for (std::thread& client : clients) {
        client.join();
    }
    EXPECT_EQ(stored, 40);
    const json table = WholeTable(first.port());
    EXPECT_EQ(table.size(), 40u);
    EXPECT_EQ(table, WholeTable(second.port()));
}

TEST(FaultPostgresTest, ADatabaseStoppedIsAnswered503UntilItIsBack) {
    const char* version = std::getenv("PGVERSION");
    const char* uri = std::getenv("QUORVAX_TEST_POSTGRES");
    if (version == nullptr || uri == nullptr) {
        GTEST_SKIP() << "needs the PostgreSQL of pg_virtualenv";
    }
    const std::string cluster = std::string("pg_ctlcluster ") + version + " regress ";
    ServerProcess server(uri);
    ASSERT_NE(server.port(), 0);
    ASSERT_EQ(HttpCall(server.port(), "GET", "/api/health").status, 200);
    ASSERT_EQ(std::system((cluster + "stop -m fast").c_str()), 0);
    for (const auto& [method, target, body] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"GET", "/api/health", ""},
             {"GET", "/api/games", ""},
             {"POST", "/api/games", Submission("Anna", 1)}}) {
        const HttpAnswer answer = HttpCall(server.port(), method, target, body);
        EXPECT_EQ(answer.status, 503) << target;
        EXPECT_EQ(json::parse(answer.body)["error"], "the database is unavailable");
    }
    ASSERT_EQ(std::system((cluster + "start").c_str()), 0);
    EXPECT_EQ(HttpCall(server.port(), "POST", "/api/games", Submission("Anna", 1)).status, 201);
}

}  // namespace

namespace {

class AdminTest : public DatabaseTest {};
QUORVAX_BOTH_DATABASES(AdminTest);

TEST_P(AdminTest, EntriesAreRenamedAndRemovedOnlyByTheLocalCommand) {
    NewGame game;
    game.name = "Anna";
    game.hash = "h";
    game.recording = "r";
    ASSERT_TRUE(store_->Insert(game).ok());
    const std::string where =
        GetParam() == "postgresql"
            ? "--database '" + database_ + "'"
            : "--data '" + std::filesystem::path(database_).parent_path().string() + "'";
    auto admin = [&](const std::string& args) {
        const int status = std::system(
            (std::string(QUORVAX_TEST_SERVER) + " admin " + where + " " + args + " >/dev/null 2>&1")
                .c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(admin("rename 1 'Bert <b>'"), 0);
    EXPECT_EQ(store_->Game(1).value->name, "Bert <b>");
    EXPECT_EQ(admin("rename 1 ' bad'"), 1);
    EXPECT_EQ(admin("remove 1"), 0);
    EXPECT_FALSE(store_->Game(1).value);
    EXPECT_EQ(admin("remove 1"), 1);
    EXPECT_EQ(admin("drop everything"), 2);
}

}  // namespace

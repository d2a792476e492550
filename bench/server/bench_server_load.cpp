// Load for the server's benchmark (bench/server/run): fills a table with
// stored games, writes a submission body, and holds slow connections open
// while timing a real client.
#include <algorithm>
#include <boost/asio.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "RealGames.h"
#include "server/Sql.h"
#include "server/Store.h"

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;

namespace {

// `fill DATABASE N`: N games with spread scores, straight into the tables
// (the benchmark times reading and ranking them, not storing them).
int Fill(const std::string& database, int64_t count) {
    std::string error;
    std::unique_ptr<SqlConnection> sql = OpenSqlConnection(database, error);
    if (!sql) {
        std::fprintf(stderr, "fill: %s\n", error.c_str());
        return 1;
    }
    if (const SqlError migrated = Store(*sql).Migrate()) {
        std::fprintf(stderr, "fill: %s\n", migrated.message.c_str());
        return 1;
    }
    const bool pg = std::string(sql->Dialect()) == "postgresql";
    const std::string series =
        pg ? "SELECT CAST(i AS BIGINT) AS i FROM generate_series(1, CAST(? AS INTEGER)) AS s(i)"
           : "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < ?) "
             "SELECT CAST(i AS BIGINT) AS i FROM s";
    const std::vector<std::string> statements = {
        "INSERT INTO games(name, score, level, ticks, submitted, system, rules, live, "
        "final_state, hash) SELECT 'player ' || (i % 5000), (i * 7919) % 20011 - (i * 7919) % "
        "20011 % 15, 1 + (i % 9), 3000, 1700000000000 + i, 'linux', 'bench', i % 2, 'state', "
        "'bench-' || i FROM (" +
            series + ") AS numbers",
        "INSERT INTO recordings(game_id, text) SELECT id, 'bench recording' FROM games WHERE "
        "rules = 'bench'",
        "DELETE FROM score_counts",
        "INSERT INTO score_counts(score, n) SELECT score, COUNT(*) FROM games GROUP BY score",
    };
    if (SqlError error = sql->BeginWrite()) {
        std::fprintf(stderr, "fill: %s\n", error.message.c_str());
        return 1;
    }
    for (size_t i = 0; i < statements.size(); ++i) {
        const std::vector<SqlParam> params =
            i == 0 ? std::vector<SqlParam>{count} : std::vector<SqlParam>{};
        if (SqlError error = sql->Exec(statements[i], params).error) {
            std::fprintf(stderr, "fill: %s\n", error.message.c_str());
            return 1;
        }
    }
    if (SqlError error = sql->Exec("COMMIT").error) {
        std::fprintf(stderr, "fill: %s\n", error.message.c_str());
        return 1;
    }
    sql->Exec(pg ? "ANALYZE" : "ANALYZE");
    return 0;
}

// `body NAME FILE`: the JSON of a submission of the recording in FILE.
int Body(const std::string& name, const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "body: cannot read %s\n", file.c_str());
        return 1;
    }
    std::puts(nlohmann::json{{"name", name}, {"recording", text.str()}}.dump().c_str());
    return 0;
}

// One real request; its time in ms, or -1 when it got no 200.
double Timed(asio::io_context& io, unsigned short port, const std::string& target) {
    const auto start = Clock::now();
    tcp::socket socket(io);
    boost::system::error_code ec;
    socket.connect({asio::ip::make_address("127.0.0.1"), port}, ec);
    const std::string request =
        "GET " + target + " HTTP/1.1\r\nHost: bench\r\nConnection: close\r\n\r\n";
    asio::write(socket, asio::buffer(request), ec);
    std::string answer;
    char buffer[8192];
    while (!ec) {
        answer.append(buffer, socket.read_some(asio::buffer(buffer), ec));
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return answer.rfind("HTTP/1.1 200", 0) == 0 ? ms : -1;
}

// `slowloris PORT N SECONDS TARGET`: N connections that send their request
// head one byte a second (reconnecting when cut off), while a real client
// asks for TARGET every 100 ms; prints the real client's times.
int Slowloris(unsigned short port, int count, int seconds, const std::string& target) {
    asio::io_context io;
    const std::string head = "GET /api/health HTTP/1.1\r\nHost: bench\r\nX-Slow: ";
    std::vector<std::unique_ptr<tcp::socket>> slow(count);
    std::vector<size_t> sent(count, 0);
    int reconnects = 0;
    auto reopen = [&](int i) {
        slow[i] = std::make_unique<tcp::socket>(io);
        boost::system::error_code ec;
        slow[i]->connect({asio::ip::make_address("127.0.0.1"), port}, ec);
        sent[i] = 0;
        return !ec;
    };
    for (int i = 0; i < count; ++i) {
        reopen(i);
    }
    std::vector<double> times;
    int failed = 0;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    auto nextTrickle = Clock::now();
    while (Clock::now() < end) {
        if (Clock::now() >= nextTrickle) {
            for (int i = 0; i < count; ++i) {
                boost::system::error_code ec;
                const char byte = sent[i] < head.size() ? head[sent[i]] : 'x';
                asio::write(*slow[i], asio::buffer(&byte, 1), ec);
                ++sent[i];
                if (ec) {
                    ++reconnects;
                    reopen(i);
                }
            }
            nextTrickle += std::chrono::seconds(1);
        }
        const double ms = Timed(io, port, target);
        if (ms < 0) {
            ++failed;
        } else {
            times.push_back(ms);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::sort(times.begin(), times.end());
    if (times.empty()) {
        std::printf("slowloris: no answer at all (%d failed)\n", failed);
        return 1;
    }
    std::printf(
        "slowloris %d connections, %d reconnects: %zu answers, %d failed; median %.2f ms, "
        "max %.2f ms\n",
        count, reconnects, times.size(), failed, times[times.size() / 2], times.back());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 3 && a[0] == "fill") {
        return Fill(a[1], std::stoll(a[2]));
    }
    if (a.size() == 3 && a[0] == "body") {
        return Body(a[1], a[2]);
    }
    if (a.size() == 2 && a[0] == "game") {
        // `game WAIT`: a real recorded game whose replay runs about 400 + WAIT ticks.
        std::fputs(BombedGameRecording(std::stoi(a[1])).c_str(), stdout);
        return 0;
    }
    if (a.size() == 5 && a[0] == "slowloris") {
        return Slowloris(static_cast<unsigned short>(std::stoi(a[1])), std::stoi(a[2]),
                         std::stoi(a[3]), a[4]);
    }
    std::fputs(
        "usage: bench_server_load fill DATABASE N | body NAME FILE | game WAIT | "
        "slowloris PORT N SECONDS TARGET\n",
        stderr);
    return 2;
}

// quorvax-server: the world's table. Serves the JSON API and the table's
// page, verifying every submitted game by playing it again; `admin`
// changes the table locally.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "server/Api.h"
#include "server/GameVerifier.h"
#include "server/HttpServer.h"
#include "server/Names.h"
#include "server/Store.h"

namespace {

const char* const kUsage =
    "usage: quorvax-server [options]\n"
    "       quorvax-server admin [--data DIR | --database URI] remove ID\n"
    "       quorvax-server admin [--data DIR | --database URI] rename ID NAME\n"
    "options:\n"
    "  --data DIR              keep the table in DIR/table.sqlite (default ./quorvax-table)\n"
    "  --database URI          keep it on a PostgreSQL server (postgresql://...);\n"
    "                          without either, QUORVAX_DATABASE names it if set\n"
    "  --listen ADDRESS        address to listen on (default 127.0.0.1)\n"
    "  --port N                port (default 8026; 0 picks a free one)\n"
    "  --site DIR              serve the browser build from DIR under /play/\n"
    "  --allow-origin ORIGIN   answer cross-origin requests from ORIGIN (repeatable)\n"
    "  --workers N             threads verifying games and querying (default: cores)\n"
    "  --rate R --burst B      requests a second per address, and at once (default 20, 60;\n"
    "                          --rate 0 turns the limit off)\n"
    "  --max-connections N     open connections at most (default 1024)\n"
    "  --header-timeout MS     time for a request's head (default 10000)\n"
    "  --body-timeout MS       time for a request's body (default 30000)\n"
    "  --cache-ms MS           answer first pages from memory this long (default 1000;\n"
    "                          other processes' new games show after it; 0: off)\n"
    "  --max-ticks N           longest game verified, in ticks (default four hours)\n"
    "  --max-cpu SECONDS       CPU time for one verification (default 2)\n"
    "  --trust-forwarded-for   behind a proxy on loopback: limit by X-Forwarded-For\n";

struct Options {
    std::string database;
    HttpOptions http;
    VerifyLimits limits;
    int cacheMs = 1000;
    std::vector<std::string> rest;
};

bool Number(const char* text, long long min, long long max, long long& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && out >= min && out <= max;
}

// Reads the options; false with a message on stderr for anything unknown.
bool Parse(int argc, char** argv, int first, Options& o) {
    std::string data = "quorvax-table";
    bool dataGiven = false;
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        auto value = [&]() -> const char* { return argv[++i]; };
        auto number = [&](long long min, long long max) {
            if (!hasValue || !Number(argv[i + 1], min, max, n)) {
                std::fprintf(stderr, "quorvax-server: %s needs a number from %lld to %lld\n",
                             arg.c_str(), min, max);
                return false;
            }
            ++i;
            return true;
        };
        if (arg.rfind("--", 0) != 0) {
            o.rest.push_back(arg);
        } else if (arg == "--trust-forwarded-for") {
            o.http.trustForwardedFor = true;
        } else if (!hasValue && arg != "--help") {
            std::fprintf(stderr, "quorvax-server: %s needs a value\n%s", arg.c_str(), kUsage);
            return false;
        } else if (arg == "--data") {
            data = value();
            dataGiven = true;
        } else if (arg == "--database") {
            o.database = value();
        } else if (arg == "--listen") {
            o.http.address = value();
        } else if (arg == "--site") {
            o.http.siteDir = value();
        } else if (arg == "--allow-origin") {
            o.http.allowOrigins.push_back(value());
        } else if (arg == "--port") {
            if (!number(0, 65535))
                return false;
            o.http.port = static_cast<unsigned short>(n);
        } else if (arg == "--workers") {
            if (!number(1, 256))
                return false;
            o.http.workerThreads = static_cast<int>(n);
        } else if (arg == "--rate" || arg == "--burst") {
            if (!number(0, 1000000))
                return false;
            (arg == "--rate" ? o.http.ratePerSecond : o.http.rateBurst) = static_cast<double>(n);
        } else if (arg == "--max-connections") {
            if (!number(1, 1000000))
                return false;
            o.http.maxConnections = static_cast<size_t>(n);
        } else if (arg == "--header-timeout" || arg == "--body-timeout") {
            if (!number(1, 3600000))
                return false;
            (arg == "--header-timeout" ? o.http.headerTimeoutMs : o.http.bodyTimeoutMs) =
                static_cast<int>(n);
        } else if (arg == "--cache-ms") {
            if (!number(0, 60000))
                return false;
            o.cacheMs = static_cast<int>(n);
        } else if (arg == "--max-ticks") {
            if (!number(1, 1000000000))
                return false;
            o.limits.maxTicks = static_cast<uint64_t>(n);
        } else if (arg == "--max-cpu") {
            if (!number(1, 3600))
                return false;
            o.limits.maxCpuSeconds = static_cast<double>(n);
        } else {
            std::fprintf(stderr, "quorvax-server: unknown option %s\n%s", arg.c_str(), kUsage);
            return false;
        }
    }
    // The database's address may carry a password: the environment keeps it
    // out of the process list.
    if (o.database.empty() && !dataGiven && std::getenv("QUORVAX_DATABASE") != nullptr) {
        o.database = std::getenv("QUORVAX_DATABASE");
    }
    if (o.database.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(data, ec);
        if (ec) {
            std::fprintf(stderr, "quorvax-server: cannot make %s: %s\n", data.c_str(),
                         ec.message().c_str());
            return false;
        }
        o.database = (std::filesystem::path(data) / "table.sqlite").string();
    }
    return true;
}

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// `quorvax-server admin ...`: removes or renames one entry, on the machine
// that holds the database, never over HTTP.
int Admin(Options& o) {
    std::string error;
    std::unique_ptr<SqlConnection> sql = OpenSqlConnection(o.database, error);
    if (!sql) {
        std::fprintf(stderr, "quorvax-server: cannot open the database: %s\n", error.c_str());
        return 1;
    }
    Store store(*sql);
    if (const SqlError migrated = store.Migrate()) {
        std::fprintf(stderr, "quorvax-server: %s\n", migrated.message.c_str());
        return 1;
    }
    long long id = 0;
    const std::vector<std::string>& a = o.rest;
    if (a.size() < 2 || !Number(a[1].c_str(), 1, INT64_MAX, id) ||
        !((a[0] == "remove" && a.size() == 2) || (a[0] == "rename" && a.size() == 3))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    StoreResult<bool> done;
    if (a[0] == "remove") {
        done = store.Remove(id);
    } else {
        const NameCheck name = CheckName(a[2]);
        if (!name.ok) {
            std::fprintf(stderr, "quorvax-server: %s\n", name.reason.c_str());
            return 1;
        }
        done = store.Rename(id, name.name);
    }
    if (!done.ok()) {
        std::fprintf(stderr, "quorvax-server: %s\n", done.error.message.c_str());
        return 1;
    }
    if (!done.value) {
        std::fprintf(stderr, "quorvax-server: there is no game %lld\n", id);
        return 1;
    }
    std::printf("game %lld %s\n", id, a[0] == "remove" ? "removed" : "renamed");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool admin = argc > 1 && std::strcmp(argv[1], "admin") == 0;
    Options o;
    o.http.workerThreads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (!Parse(argc, argv, admin ? 2 : 1, o)) {
        return 2;
    }
    if (admin) {
        return Admin(o);
    }
    if (!o.rest.empty()) {
        std::fprintf(stderr, "quorvax-server: unexpected %s\n%s", o.rest[0].c_str(), kUsage);
        return 2;
    }
    // The schema is brought up to date before anything is served.
    std::string error;
    {
        std::unique_ptr<SqlConnection> sql = OpenSqlConnection(o.database, error);
        if (!sql) {
            std::fprintf(stderr, "quorvax-server: cannot open the database: %s\n", error.c_str());
            return 1;
        }
        if (const SqlError migrated = Store(*sql).Migrate()) {
            std::fprintf(stderr, "quorvax-server: cannot prepare the database: %s\n",
                         migrated.message.c_str());
            return 1;
        }
    }
    o.http.maxBody = o.limits.maxBytes + 64 * 1024;
    ConnectionPool pool(o.database, static_cast<size_t>(o.http.workerThreads));
    Api api(pool, &VerifyRecording, o.limits, RulesVersion(), &NowMs);
    api.cacheTime = std::chrono::milliseconds(o.cacheMs);

    // Signals are taken by one thread that stops the server.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    HttpServer server(o.http, api);
    if (!server.Listen(error)) {
        std::fprintf(stderr, "quorvax-server: %s\n", error.c_str());
        return 1;
    }
    std::printf("quorvax-server: listening on http://%s:%u/ (rules %s)\n", o.http.address.c_str(),
                server.port(), RulesVersion());
    std::fflush(stdout);
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&signals, &signal);
        server.Stop();
    });
    server.Run();
    // Run ended by a signal: the waiter has returned.
    waiter.join();
    return 0;
}

// The nginx site shipped in dist/server, as it stands but for its ports and
// certificate, in front of two server processes on one database: TLS, the
// redirect from plain HTTP, one table through either process, the body cap
// and the per-address limit.
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "RealGames.h"
#include "ServerFixture.h"
#include "ServerProcess.h"

using nlohmann::json;

namespace {

// A port of 127.0.0.1 that was free a moment ago.
unsigned short FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    close(fd);
    return ntohs(a.sin_port);
}

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The shipped site on our ports and certificate, in a main configuration
// that keeps every file of nginx in `dir`. One process, so that it runs as
// whoever starts it and stops with one signal.
std::string Configuration(const std::filesystem::path& dir, unsigned short http,
                          unsigned short https, unsigned short first, unsigned short second) {
    const std::string d = dir.string();
    const std::vector<std::pair<std::string, std::string>> changes = {
        {"listen 80;", "listen 127.0.0.1:" + std::to_string(http) + ";"},
        {"listen 443 ", "listen 127.0.0.1:" + std::to_string(https) + " "},
        {"127.0.0.1:8101", "127.0.0.1:" + std::to_string(first)},
        {"127.0.0.1:8102", "127.0.0.1:" + std::to_string(second)},
        {"/etc/letsencrypt/live/table.example.org/fullchain.pem", d + "/cert.pem"},
        {"/etc/letsencrypt/live/table.example.org/privkey.pem", d + "/key.pem"}};
    std::istringstream in(Read(QUORVAX_SOURCE_DIR "/dist/server/quorvax-server.nginx.conf"));
    std::string site, line;
    while (std::getline(in, line)) {
        if (line.find("listen [::]") != std::string::npos) {
            continue;  // loopback only
        }
        for (const auto& [from, to] : changes) {
            if (const size_t at = line.find(from); at != std::string::npos) {
                line.replace(at, from.size(), to);
            }
        }
        site += line + "\n";
    }
    std::string temp;
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"}) {
        temp += std::string(kind) + "_temp_path " + d + "/" + kind + ";\n";
    }
    return "daemon off;\nmaster_process off;\npid " + d + "/nginx.pid;\nerror_log " + d +
           "/error.log;\nevents {}\nhttp {\naccess_log off;\n" + temp + site + "}\n";
}

// nginx -p DIR on the configuration above, stopped when it goes.
class Nginx {
  public:
    Nginx(const std::string& program, const std::filesystem::path& dir) {
        pid_ = fork();
        if (pid_ == 0) {
            const std::string d = dir.string(), conf = d + "/nginx.conf";
            execl(program.c_str(), program.c_str(), "-p", d.c_str(), "-c", conf.c_str(), "-e",
                  (d + "/error.log").c_str(), nullptr);
            _exit(127);
        }
    }
    ~Nginx() {
        if (pid_ > 0) {
            kill(pid_, SIGQUIT);
            waitpid(pid_, nullptr, 0);
        }
    }

  private:
    pid_t pid_ = -1;
};

struct Answer {
    long status = 0;
    std::string body;
    std::string location;
};

size_t Append(char* data, size_t size, size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

// One request with libcurl; the test's own certificate is not checked.
Answer Request(CURL* curl, const std::string& url, const std::string& body = "",
               bool post = false) {
    Answer a;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &a.body);
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/json");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POST, post ? 1L : 0L);
    if (post) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
    if (curl_easy_perform(curl) == CURLE_OK) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &a.status);
        char* location = nullptr;
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location);
        a.location = location ? location : "";
    }
    curl_slist_free_all(headers);
    return a;
}

std::string NginxProgram() {
    for (const char* path : {"/usr/sbin/nginx", "/usr/bin/nginx"}) {
        if (access(path, X_OK) == 0) {
            return path;
        }
    }
    return "";
}

class NginxTest : public DatabaseTest {};
QUORVAX_BOTH_DATABASES(NginxTest);

TEST_P(NginxTest, TheShippedSiteServesTwoProcessesOverTlsWithItsLimits) {
    const std::string nginx = NginxProgram();
    if (nginx.empty()) {
        GTEST_SKIP() << "no nginx (nginx-light)";
    }
    ServerProcess first(database_, {"--cache-ms", "0", "--trust-forwarded-for"});
    ServerProcess second(database_, {"--cache-ms", "0", "--trust-forwarded-for"});
    ASSERT_NE(first.port(), 0);
    ASSERT_NE(second.port(), 0);

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("quorvax-nginx-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    ASSERT_EQ(
        std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost "
                     "-keyout " +
                     dir.string() + "/key.pem -out " + dir.string() + "/cert.pem >/dev/null 2>&1")
                        .c_str()),
        0)
        << "openssl could not make a certificate";
    const unsigned short http = FreePort(), https = FreePort();
    std::ofstream(dir / "nginx.conf")
        << Configuration(dir, http, https, first.port(), second.port());
    const std::string base = "https://127.0.0.1:" + std::to_string(https);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    CURL* curl = curl_easy_init();
    {
        Nginx proxy(nginx, dir);
        Answer health;
        for (int i = 0; i < 100 && health.status != 200; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            health = Request(curl, base + "/api/health");
        }
        ASSERT_EQ(health.status, 200) << Read(dir / "error.log");

        const Answer plain = Request(curl, "http://127.0.0.1:" + std::to_string(http) + "/x");
        EXPECT_EQ(plain.status, 301);
        EXPECT_EQ(plain.location.rfind("https://", 0), 0u) << plain.location;

        const std::string game =
            json{{"name", "Proxied"}, {"recording", WholeGameRecording()}}.dump();
        EXPECT_EQ(Request(curl, base + "/api/games", game, true).status, 201);
        EXPECT_EQ(Request(curl, base + "/api/games", game, true).status, 200);
        const json table = json::parse(HttpCall(first.port(), "GET", "/api/games").body);
        EXPECT_EQ(table, json::parse(HttpCall(second.port(), "GET", "/api/games").body));
        EXPECT_EQ(table, json::parse(Request(curl, base + "/api/games").body));
        ASSERT_EQ(table["games"].size(), 1u);
        EXPECT_EQ(table["games"][0]["name"], "Proxied");

        EXPECT_EQ(Request(curl, base + "/api/games", std::string(6 << 20, 'x'), true).status, 413);

        // The site lets 60 requests through at once and 20 a second after.
        int limited = 0;
        for (int i = 0; i < 100; ++i) {
            limited += Request(curl, base + "/api/health").status == 429;
        }
        EXPECT_GT(limited, 0);
    }
    curl_easy_cleanup(curl);
    curl_global_cleanup();
    std::filesystem::remove_all(dir);
}

}  // namespace

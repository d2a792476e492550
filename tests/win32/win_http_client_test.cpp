// WinHTTP behind HttpClient: how it reads the leaderboard's address; what
// it sends and reads against a one-answer server of the test's own on
// loopback; and that no whole answer ends in status 0 with a reason. The
// e2e run under Wine (make test-windows) sends a real game to a real server.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/win32/WinHttpClient.h"

// <winsock2.h> comes after the game's headers: its macros would rename them.
#include <winsock2.h>
#undef MessageBox

namespace {

// Takes one connection on 127.0.0.1, reads the request's head and body and
// answers with `answer` as it is; `request` holds what came.
class OneAnswerServer {
  public:
    explicit OneAnswerServer(std::string answer) : answer_(std::move(answer)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at = {};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof at;
        bind(listener_, reinterpret_cast<sockaddr*>(&at), size);
        listen(listener_, 1);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &size);
        port_ = ntohs(at.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~OneAnswerServer() {
        closesocket(listener_);
        thread_.join();
        WSACleanup();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/api/games"; }
    std::string request;

  private:
    void Serve() {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            return;
        }
        char chunk[4096];
        size_t head = std::string::npos;
        size_t length = 0;
        while (head == std::string::npos || request.size() < head + 4 + length) {
            const int n = recv(client, chunk, sizeof chunk, 0);
            if (n <= 0) {
                break;
            }
            request.append(chunk, static_cast<size_t>(n));
            if (head == std::string::npos &&
                (head = request.find("\r\n\r\n")) != std::string::npos) {
                const size_t field = request.find("Content-Length: ");
                length = field < head ? std::stoul(request.substr(field + 16)) : 0;
            }
        }
        send(client, answer_.data(), static_cast<int>(answer_.size()), 0);
        closesocket(client);
    }

    const std::string answer_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::thread thread_;
};

}  // namespace

TEST(WinHttpClient, ReadsHttpAndHttpsAddressesAtAnyPort) {
    const struct {
        const char* url;
        bool secure;
        const wchar_t* host;
        unsigned short port;
        const wchar_t* path;
    } cases[] = {
        {"http://127.0.0.1:8026", false, L"127.0.0.1", 8026, L"/"},
        {"http://127.0.0.1:8026/api/games", false, L"127.0.0.1", 8026, L"/api/games"},
        {"https://table.example.org/base/api/rank?score=5", true, L"table.example.org", 443,
         L"/base/api/rank?score=5"},
        {"http://table.example.org/", false, L"table.example.org", 80, L"/"},
        {"https://table.example.org:8443/x", true, L"table.example.org", 8443, L"/x"},
        {"http://[::1]:9000/api/games", false, L"::1", 9000, L"/api/games"},
        {"https://[2001:db8::7]/api/games", true, L"2001:db8::7", 443, L"/api/games"},
    };
    for (const auto& c : cases) {
        const HttpTarget t = HttpTargetFromUrl(c.url);
        EXPECT_EQ(t.error, "") << c.url;
        EXPECT_EQ(t.secure, c.secure) << c.url;
        EXPECT_EQ(t.host, c.host) << c.url;
        EXPECT_EQ(t.port, c.port) << c.url;
        EXPECT_EQ(t.path, c.path) << c.url;
    }
}

TEST(WinHttpClient, RefusesAddressesItCannotUse) {
    for (const char* url :
         {"", "table.example.org", "ftp://table.example.org/", "http://",
          "http://table.example.org/a b", "http://table\n.example.org/", "javascript:alert(1)"}) {
        EXPECT_NE(HttpTargetFromUrl(url).error, "") << url;
    }
}

TEST(WinHttpClient, NoAnswerIsStatusZeroWithAReason) {
    const auto http = MakeWinHttpClient();
    for (const char* url : {"ftp://127.0.0.1/api/games", "http://127.0.0.1:1/api/games"}) {
        const HttpResponse r = http->PostJson(url, "{}");
        EXPECT_EQ(r.status, 0) << url;
        EXPECT_NE(r.error, "") << url;
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << r.error;
        EXPECT_EQ(r.body, "") << url;
    }
}

TEST(WinHttpClient, PostsJsonAndReadsTheWholeAnswer) {
    const std::string json = "{\"name\": \"Ada\", \"recording\": \"1 down space\\n\"}";
    const std::string big(2 << 20, 'x');
    const struct {
        std::string answer;
        int status;
        std::string body;
    } cases[] = {
        {"HTTP/1.1 201 Created\r\nContent-Length: 20\r\n\r\n{\"id\": 1, \"rank\": 1}", 201,
         "{\"id\": 1, \"rank\": 1}"},
        // Sent elsewhere: an answer, not followed.
        {"HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n", 302, ""},
        // Far larger than any answer of the table: none.
        {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(big.size()) + "\r\n\r\n" + big, 0,
         ""},
        // Closed without a word: none.
        {"", 0, ""},
    };
    const auto http = MakeWinHttpClient();
    for (const auto& c : cases) {
        OneAnswerServer server(c.answer);
        const HttpResponse r = http->PostJson(server.Url(), json);
        EXPECT_EQ(r.status, c.status) << r.error;
        EXPECT_TRUE(r.body == c.body) << r.body.substr(0, 80);
        EXPECT_EQ(r.error.empty(), c.status != 0) << r.error;
        const std::string& sent = server.request;
        EXPECT_EQ(sent.rfind("POST /api/games HTTP/1.1\r\n", 0), 0u) << sent;
        EXPECT_NE(sent.find("\r\nContent-Type: application/json\r\n"), std::string::npos);
        EXPECT_TRUE(sent.size() > json.size() &&
                    sent.compare(sent.size() - json.size(), json.size(), json) == 0)
            << sent;
    }
}

// WinHTTP behind HttpClient: how it reads the leaderboard's address, and
// that an address it cannot use or a server that is not there ends in
// status 0 with a reason, at once. The e2e run under Wine (make
// test-windows) sends a real game to a real server.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/WinHttpClient.h"

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

// libcurl behind HttpClient against a small HTTP server of the test's own on
// loopback (python3's http.server): the body goes out as sent, the status
// and body come back, and a server that is not there is an error, not a hang.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/linux/CurlHttpClient.h"

namespace {

// Answers two POSTs with 201 and the request's body turned into its length,
// then ends; prints its port first.
constexpr const char* kServer = R"(python3 -u -c '
import http.server, sys
class H(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers["Content-Length"]))
        answer = ("{\"path\": \"%s\", \"type\": \"%s\", \"length\": %d}" % (self.path,
                  self.headers["Content-Type"], len(body))).encode()
        self.send_response(201 if body.startswith(b"{") else 400)
        self.send_header("Content-Length", str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)
    def log_message(self, *args):
        pass
s = http.server.HTTPServer(("127.0.0.1", 0), H)
s.timeout = 20
print(s.server_address[1])
for _ in range(2):
    s.handle_request()
')";

}  // namespace

TEST(CurlHttpClient, PostsJsonAndReadsTheAnswer) {
    std::FILE* server = popen(kServer, "r");
    ASSERT_NE(server, nullptr);
    int port = 0;
    ASSERT_EQ(std::fscanf(server, "%d", &port), 1);
    const std::string url = "http://127.0.0.1:" + std::to_string(port);
    const auto http = MakeCurlHttpClient();
    const std::string body = "{\"name\": \"Ada\", \"recording\": \"1 down space\\n\"}";
    const HttpResponse ok = http->PostJson(url + "/api/games", body);
    EXPECT_EQ(ok.status, 201) << ok.error;
    EXPECT_EQ(ok.body, "{\"path\": \"/api/games\", \"type\": \"application/json\", \"length\": " +
                           std::to_string(body.size()) + "}");
    EXPECT_EQ(http->PostJson(url + "/x", "junk").status, 400);
    pclose(server);
    // The server has gone: refused at once, with the reason.
    const HttpResponse none = http->PostJson(url + "/api/games", body);
    EXPECT_EQ(none.status, 0);
    EXPECT_FALSE(none.error.empty());
}

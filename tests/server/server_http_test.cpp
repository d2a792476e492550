// The server on the network: body cap, malformed requests, rate limit,
// CORS, the site under /play/, connection cap and slow clients.
#include <gtest/gtest.h>

#include <boost/asio.hpp>
#include <fstream>
#include <random>
#include <thread>

#include "ServerFixture.h"
#include "server/Api.h"
#include "server/HttpServer.h"

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

class HttpTest : public ::testing::Test {
  protected:
    void Start(HttpOptions options) {
        dir_ = std::filesystem::temp_directory_path() /
               ("quorvax-http-test-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir_ / "site");
        std::ofstream(dir_ / "site" / "index.html") << "the game's page";
        std::ofstream(dir_ / "secret.txt") << "secret";
        std::string error;
        auto sql = OpenSqlConnection((dir_ / "table.sqlite").string(), error);
        ASSERT_FALSE(Store(*sql).Migrate());
        pool_ = std::make_unique<ConnectionPool>((dir_ / "table.sqlite").string(), 2);
        api_ = std::make_unique<Api>(*pool_, &VerifyRecording, VerifyLimits{}, RulesVersion(),
                                     [] { return int64_t{1}; });
        options.port = 0;
        options.siteDir = (dir_ / "site").string();
        server_ = std::make_unique<HttpServer>(options, *api_);
        ASSERT_TRUE(server_->Listen(error)) << error;
        thread_ = std::thread([this] { server_->Run(); });
    }
    void TearDown() override {
        if (server_) {
            server_->Stop();
            thread_.join();
        }
        server_.reset();
        api_.reset();
        pool_.reset();
        std::filesystem::remove_all(dir_);
    }
    tcp::socket Connect() {
        tcp::socket socket(io_);
        socket.connect({asio::ip::make_address("127.0.0.1"), server_->port()});
        return socket;
    }
    // Sends `request` as it stands and reads the answer to the end.
    std::string Exchange(const std::string& request) {
        return HttpExchange(server_->port(), request);
    }
    static std::string ReadAll(tcp::socket& socket) {
        std::string out;
        boost::system::error_code ec;
        char buffer[4096];
        while (true) {
            const size_t n = socket.read_some(asio::buffer(buffer), ec);
            out.append(buffer, n);
            if (ec) {
                return out;
            }
        }
    }
    static std::string Get(const std::string& target, const std::string& extra = "") {
        return "GET " + target + " HTTP/1.1\r\nHost: t\r\nConnection: close\r\n" + extra + "\r\n";
    }

    asio::io_context io_;
    std::filesystem::path dir_;
    std::unique_ptr<ConnectionPool> pool_;
    std::unique_ptr<Api> api_;
    std::unique_ptr<HttpServer> server_;
    std::thread thread_;
};

TEST_F(HttpTest, RequestsAreAnsweredOrRefusedWithAReason) {
    HttpOptions options;
    options.maxBody = 1000;
    options.allowOrigins = {"https://friend.example"};
    Start(options);
    const std::string big(2000, 'x');
    const struct {
        std::string request;
        std::string status;
        std::string contains;
    } cases[] = {
        {Get("/api/health"), "200 OK", "\"status\":\"ok\""},
        {"POST /api/games HTTP/1.1\r\nHost: t\r\nContent-Length: 2000\r\n\r\n" + big,
         "413 Payload Too Large", "the body is larger than this server takes"},
        {"POST /api/games HTTP/1.1\r\nHost: t\r\nTransfer-Encoding: chunked\r\n\r\n7d0\r\n" + big +
             "\r\n0\r\n\r\n",
         "413 Payload Too Large", "the body is larger than this server takes"},
        {"HELLO\x01\x02\r\n\r\n", "400 Bad Request", "the request is not HTTP/1.1"},
        {"OPTIONS /api/games HTTP/1.1\r\nHost: t\r\nOrigin: https://friend.example\r\n"
         "Access-Control-Request-Method: POST\r\nConnection: close\r\n\r\n",
         "204 No Content", "Access-Control-Allow-Origin: https://friend.example"},
        {"OPTIONS /api/games HTTP/1.1\r\nHost: t\r\nOrigin: https://evil.example\r\n"
         "Connection: close\r\n\r\n",
         "403 Forbidden", "this origin is not allowed"},
        {Get("/api/games", "Origin: https://friend.example\r\n"), "200 OK",
         "Access-Control-Allow-Origin: https://friend.example"},
        {Get("/play/"), "200 OK", "the game's page"},
        {Get("/play"), "301 Moved Permanently", "Location: /play/"},
        {Get("/play/../secret.txt"), "404 Not Found", "no such page"},
        {Get("/play/%2e%2e/secret.txt"), "404 Not Found", "no such page"},
        {Get("/play/%zz"), "400 Bad Request", "malformed"},
    };
    for (const auto& c : cases) {
        const std::string answer = Exchange(c.request);
        EXPECT_EQ(answer.rfind("HTTP/1.1 " + c.status + "\r\n", 0), 0u) << c.request << answer;
        EXPECT_NE(answer.find(c.contains), std::string::npos) << c.request << answer;
    }
    EXPECT_EQ(Exchange(Get("/api/games", "Origin: https://evil.example\r\n"))
                  .find("Access-Control-Allow-Origin"),
              std::string::npos);
}

TEST_F(HttpTest, AnAddressOverItsRateIsAnswered429) {
    HttpOptions options;
    options.ratePerSecond = 0.001;
    options.rateBurst = 3;
    Start(options);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Exchange(Get("/api/health")).rfind("HTTP/1.1 200", 0), 0u);
    }
    const std::string refused = Exchange(Get("/api/health"));
    EXPECT_EQ(refused.rfind("HTTP/1.1 429", 0), 0u);
    EXPECT_NE(refused.find("too many requests"), std::string::npos);
}

TEST_F(HttpTest, SlowClientsAreCutOffAndTheCapHoldsWhileOthersAreServed) {
    HttpOptions options;
    options.headerTimeoutMs = 300;
    options.maxConnections = 20;
    Start(options);
    std::vector<tcp::socket> slow;
    for (int i = 0; i < 19; ++i) {
        slow.push_back(Connect());
        asio::write(slow.back(), asio::buffer(std::string("GET /api/health HTTP/1.1\r\nHo")));
    }
    // One place is left: a real client is answered while the slow ones wait.
    EXPECT_EQ(Exchange(Get("/api/health")).rfind("HTTP/1.1 200", 0), 0u);
    // Over the cap, a newcomer is closed without an answer.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    tcp::socket extra = Connect();
    tcp::socket more = Connect();
    EXPECT_EQ(ReadAll(more), "");
    // The slow ones are closed when their head's time is up, unanswered.
    for (tcp::socket& socket : slow) {
        EXPECT_EQ(ReadAll(socket), "");
    }
    EXPECT_EQ(Exchange(Get("/api/health")).rfind("HTTP/1.1 200", 0), 0u);
}

}  // namespace

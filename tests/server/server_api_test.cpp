// The API and the table's page over a SQLite file, with the stand-in
// verifier: what is refused and why, and what is stored and shown.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ServerFixture.h"
#include "server/Api.h"

using nlohmann::json;

namespace {

class ApiTest : public DatabaseTest {
  protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        if (!IsSkipped()) {
            pool_ = std::make_unique<ConnectionPool>(database_, 2);
            api_ = std::make_unique<Api>(*pool_, &VerifyRecording, limits_, RulesVersion(),
                                         [this] { return now_; });
        }
    }
    void TearDown() override {
        api_.reset();
        pool_.reset();
        DatabaseTest::TearDown();
    }
    ApiResponse Get(const std::string& target) { return api_->Handle({"GET", target, ""}); }
    ApiResponse Post(const std::string& target, const std::string& body) {
        return api_->Handle({"POST", target, body});
    }
    ApiResponse Submit(const std::string& name, const std::string& recording,
                       const std::string& token = "") {
        json body = {{"name", name}, {"recording", recording}};
        if (!token.empty()) {
            body["token"] = token;
        }
        return Post("/api/games", body.dump());
    }
    static json Body(const ApiResponse& response) { return json::parse(response.body); }

    VerifyLimits limits_{3600 * 25, 2.0, 4096};
    int64_t now_ = 1'800'000'000'000;
    std::unique_ptr<ConnectionPool> pool_;
    std::unique_ptr<Api> api_;
};
QUORVAX_BOTH_DATABASES(ApiTest);

TEST_P(ApiTest, RefusalsSayWhy) {
    const std::string game = FakeGame(150);
    const struct {
        std::string body;
        int status;
        std::string reason;
    } cases[] = {
        {"junk", 400, "the body is not JSON"},
        {std::string("\x00\xff\xfe\x01\x89PNG", 8), 400, "the body is not JSON"},
        {"[1, 2]", 400, "expected a JSON object with the strings name and recording"},
        {R"({"name": "Anna"})", 400, "expected a JSON object with the strings name and recording"},
        {R"({"name": 5, "recording": "x"})", 400,
         "expected a JSON object with the strings name and recording"},
        {json{{"name", ""}, {"recording", game}}.dump(), 400, "the name is empty"},
        {json{{"name", std::string(25, 'a')}, {"recording", game}}.dump(), 400,
         "the name is longer than 24 characters"},
        {json{{"name", "a\tb"}, {"recording", game}}.dump(), 400,
         "the name contains a control character"},
        {json{{"name", "evil\u202Eusername"}, {"recording", game}}.dump(), 400,
         "the name contains an invisible formatting or direction character"},
        {json{{"name", "zero\u200Bwidth"}, {"recording", game}}.dump(), 400,
         "the name contains an invisible formatting or direction character"},
        {json{{"name", " Anna"}, {"recording", game}}.dump(), 400,
         "the name begins or ends with a space"},
        {json{{"name", "\U000F0000"}, {"recording", game}}.dump(), 400,
         "the name contains a character that is not printable"},
        {R"({"name": "a\udc00", "recording": "x"})", 400, "the body is not JSON"},
        {json{{"name", "Anna"}, {"recording", "hello"}}.dump(), 422, "not a recording"},
        {json{{"name", "Anna"}, {"recording", "quorvax-test-game\nrules test-0\n"}}.dump(), 422,
         "recorded with rules test-0, this server plays rules test-1"},
        {json{{"name", "Anna"}, {"recording", FakeGame(150, 1, 3000, "quit\n")}}.dump(), 422,
         "the game was quit before its end"},
        {json{{"name", "Anna"}, {"recording", FakeGame(150, 1, 3600 * 25 + 1)}}.dump(), 422,
         "too long"},
        {json{{"name", "Anna"}, {"recording", game + std::string(5000, '#')}}.dump(), 413,
         "the recording is larger than this server takes"},
        {json{{"name", "Anna"}, {"recording", game}, {"token", std::string(65, 'a')}}.dump(), 400,
         "the token is not one this server issued"},
    };
    for (const auto& c : cases) {
        const ApiResponse response = Post("/api/games", c.body);
        EXPECT_EQ(response.status, c.status) << c.body;
        EXPECT_EQ(Body(response)["error"], c.reason) << c.body;
    }
    EXPECT_EQ(Body(Get("/api/games"))["games"].size(), 0u);
}

TEST_P(ApiTest, AGameIsStoredOnceAndACopyIsRefused) {
    // The first page, answered from memory, shows a new game at once.
    EXPECT_EQ(Body(Get("/api/games"))["games"].size(), 0u);
    ASSERT_TRUE(api_->FromCache({"GET", "/api/games", ""}));
    const ApiResponse added = Submit("Anna", FakeGame(150, 3));
    ASSERT_EQ(added.status, 201) << added.body;
    EXPECT_EQ(Body(added),
              (json{{"id", 1}, {"rank", 1}, {"score", 150}, {"level", 3}, {"live", false}}));
    // Notes in a recording do not make it another game.
    const ApiResponse again = Submit("Anna", FakeGame(150, 3) + "# a note\n");
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(again.body, added.body);
    const ApiResponse copy = Submit("Bert", FakeGame(150, 3));
    EXPECT_EQ(copy.status, 409);
    EXPECT_EQ(Body(copy)["error"], "a copy of game 1");
    EXPECT_EQ(Body(Get("/api/games"))["games"].size(), 1u);
}

TEST_P(ApiTest, TheTableReadsInPagesWithRanksDetailsAndRecordings) {
    for (int i = 0; i < 5; ++i) {
        ++now_;
        ASSERT_EQ(Submit("P" + std::to_string(i), FakeGame(100 * (i % 3), 1, 3000 + i)).status,
                  201);
    }
    json page = Body(Get("/api/games?limit=2"));
    std::vector<std::string> names;
    while (true) {
        for (const json& game : page["games"]) {
            names.push_back(game["name"]);
            EXPECT_EQ(game["rank"], names.size());
            EXPECT_EQ(game["marks"], json::array());
        }
        if (page["next"].is_null()) {
            break;
        }
        page = Body(Get("/api/games?limit=2&after=" + page["next"].get<std::string>()));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"P2", "P1", "P4", "P0", "P3"}));
    EXPECT_EQ(Body(Get("/api/rank?score=100"))["rank"], 4);
    const json details = Body(Get("/api/games/2"));
    EXPECT_EQ(details["name"], "P1");
    EXPECT_EQ(details["finalState"], "state 100");
    EXPECT_EQ(details["ticks"], 3001);
    EXPECT_EQ(details["system"], "linux");
    const ApiResponse recording = Get("/api/games/2/recording");
    EXPECT_EQ(recording.contentType, "text/plain; charset=utf-8");
    EXPECT_EQ(recording.body, FakeGame(100, 1, 3001));
    for (const auto& [target, status] :
         std::vector<std::pair<std::string, int>>{{"/api/games/99", 404},
                                                  {"/api/games/99/recording", 404},
                                                  {"/api/games/x", 404},
                                                  {"/api/games?limit=0", 400},
                                                  {"/api/games?after=1;DROP", 400},
                                                  {"/api/rank?score=abc", 400},
                                                  {"/api/rank", 400},
                                                  {"/api/games?x=%zz", 400},
                                                  {"/nowhere", 404}}) {
        const ApiResponse response = Get(target);
        EXPECT_EQ(response.status, status) << target;
        EXPECT_FALSE(Body(response)["error"].get<std::string>().empty()) << target;
    }
    EXPECT_EQ(api_->Handle({"DELETE", "/api/games/1", ""}).status, 405);
}

TEST_P(ApiTest, NamesAreStoredNormalisedAndLiterallyAndShownEscaped) {
    const std::string decomposed = "Rene\u0301";
    const std::string sql = "x'); DROP TABLE games;--";
    const std::string html = "<b>Ann</b>&\"'";
    ASSERT_EQ(Submit(decomposed, FakeGame(30)).status, 201);
    ASSERT_EQ(Submit(sql, FakeGame(20)).status, 201);
    ASSERT_EQ(Submit(html, FakeGame(10)).status, 201);
    const json games = Body(Get("/api/games"))["games"];
    EXPECT_EQ(games[0]["name"], "Ren\u00e9");
    EXPECT_EQ(games[1]["name"], sql);
    EXPECT_EQ(games[2]["name"], html);
    const ApiResponse page = Get("/?name=" + std::string("%3Cb%3EAnn%3C%2Fb%3E%26%22%27"));
    EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
    EXPECT_EQ(page.body.find("<b>Ann"), std::string::npos);
    EXPECT_NE(page.body.find("&lt;b&gt;Ann&lt;/b&gt;&amp;&quot;&#39;"), std::string::npos);
    EXPECT_NE(page.body.find("id=\"best\"><table>"), std::string::npos);
    EXPECT_NE(page.body.find("x&#39;); DROP TABLE games;--"), std::string::npos);
    EXPECT_NE(page.body.find("/play/?watch=/api/games/1/recording"), std::string::npos);
}

TEST_P(ApiTest, ATokenGameThatTookItsLengthIsLive) {
    const ApiResponse token = Post("/api/tokens", "");
    ASSERT_EQ(token.status, 201);
    now_ += 3000 * 40;
    const ApiResponse game = Submit("Anna", FakeGame(45), Body(token)["token"]);
    EXPECT_TRUE(Body(game)["live"]);
    EXPECT_EQ(Body(Get("/api/games"))["games"][0]["marks"], json::array({"live"}));
    EXPECT_NE(Get("/").body.find(">live</span>"), std::string::npos);
}

TEST(ApiDatabaseDownTest, EveryCallAnswers503) {
    ConnectionPool pool("postgresql://127.0.0.1:1/none?connect_timeout=2", 1);
    Api api(pool, &VerifyRecording, {}, RulesVersion(), [] { return int64_t{0}; });
    for (const auto& [method, target] :
         std::vector<std::pair<std::string, std::string>>{{"GET", "/api/health"},
                                                          {"GET", "/api/games"},
                                                          {"GET", "/api/rank?score=1"},
                                                          {"GET", "/api/games/1"},
                                                          {"POST", "/api/tokens"},
                                                          {"GET", "/"}}) {
        EXPECT_EQ(api.Handle({method, target, ""}).status, 503) << target;
    }
    const ApiResponse submit = api.Handle(
        {"POST", "/api/games", json{{"name", "Anna"}, {"recording", FakeGame(15)}}.dump()});
    EXPECT_EQ(submit.status, 503);
    EXPECT_EQ(json::parse(submit.body)["error"], "the database is unavailable");
}

}  // namespace

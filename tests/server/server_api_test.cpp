// The API and the table's page over each database, verifying real recorded
// games: what is refused and why, and what is stored and shown.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "RealGames.h"
#include "ServerFixture.h"
#include "server/Api.h"

using nlohmann::json;

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// `recording`'s lines before the first whose tick is `tick` or later, and
// before its closing state.
std::string KeysBefore(const std::string& recording, unsigned long tick) {
    std::istringstream in(recording);
    std::string out, line;
    while (std::getline(in, line) && line.rfind("# final", 0) != 0 &&
           (line[0] == '#' || std::stoul(line) < tick)) {
        out += line + "\n";
    }
    return out;
}

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

    VerifyLimits limits_{20000, 2.0, 64 * 1024};
    int64_t now_ = 1'800'000'000'000;
    std::unique_ptr<ConnectionPool> pool_;
    std::unique_ptr<Api> api_;
    const std::string whole_ = WholeGameRecording();
};
QUORVAX_BOTH_DATABASES(ApiTest);

TEST_P(ApiTest, ForgedAndBadSubmissionsAreRefusedWithTheirReason) {
    const std::string sent = VerifyRecording(whole_, limits_).canonical;  // as the game sends it
    auto submission = [](const std::string& name, const std::string& recording) {
        return json{{"name", name}, {"recording", recording}}.dump();
    };
    const struct {
        std::string body;
        int status;
        std::string reason;  // the refusal's reason begins so
    } cases[] = {
        {"junk", 400, "the body is not JSON"},
        {std::string("\x00\xff\xfe\x01\x89PNG", 8), 400, "the body is not JSON"},
        {"[1, 2]", 400, "expected a JSON object with the strings name and recording"},
        {R"({"name": "Anna"})", 400, "expected a JSON object with the strings name and recording"},
        {R"({"name": 5, "recording": "x"})", 400, "expected a JSON object"},
        {R"({"name": "a\udc00", "recording": "x"})", 400, "the body is not JSON"},
        {submission("", whole_), 400, "the name is empty"},
        {submission(std::string(25, 'a'), whole_), 400, "the name is longer than 24 characters"},
        {submission("a\tb", whole_), 400, "the name contains a control character"},
        {submission("evil\u202Eusername", whole_), 400,
         "the name contains an invisible formatting or direction character"},
        {submission("zero\u200Bwidth", whole_), 400,
         "the name contains an invisible formatting or direction character"},
        {submission(" Anna", whole_), 400, "the name begins or ends with a space"},
        {submission("\U000F0000", whole_), 400,
         "the name contains a character that is not printable"},
        {submission("Anna", "GET / HTTP/1.1\r\n\r\n"), 422, "not a recording"},
        {submission("Anna", Replace(whole_, "# rules 1", "# rules 0")), 422,
         "recorded with rules 0, this server plays rules 1"},
        {submission("Anna", Replace(sent, "score=75", "score=90")), 422,
         "the recorded final state is not the replay's"},
        {submission("Anna", KeysBefore(sent, 100000) + "760 down ctrl\n761 up ctrl\n"), 422,
         "keys after the game's end"},
        {submission("Anna", KeysBefore(whole_, 740)), 422,
         "the game does not end in the recording (a truncated game)"},
        {submission("Anna", BombedGameRecording(20000)), 422, "too long"},
        {submission("Anna", whole_ + "# " + std::string(66 * 1024, 'x') + "\n"), 413,
         "the recording is larger than this server takes"},
        {json{{"name", "Anna"}, {"recording", whole_}, {"token", std::string(65, 'a')}}.dump(), 400,
         "the token is not one this server issued"},
    };
    for (const auto& c : cases) {
        const ApiResponse response = Post("/api/games", c.body);
        EXPECT_EQ(response.status, c.status) << c.body.substr(0, 200);
        const std::string reason = Body(response)["error"];
        EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
    }
    EXPECT_EQ(Body(Get("/api/games"))["games"].size(), 0u);
}

TEST_P(ApiTest, AGameIsStoredOnceAndACopyIsRefused) {
    // The first page, answered from memory, shows a new game at once.
    EXPECT_EQ(Body(Get("/api/games"))["games"].size(), 0u);
    ASSERT_TRUE(api_->FromCache({"GET", "/api/games", ""}));
    const ApiResponse added = Submit("Anna", whole_);
    ASSERT_EQ(added.status, 201) << added.body;
    EXPECT_EQ(Body(added),
              (json{{"id", 1}, {"rank", 1}, {"score", 75}, {"level", 2}, {"live", false}}));
    // The same keys recorded on another system are the same game.
    const ApiResponse again = Submit("Anna", Replace(whole_, "# system linux", "# system web"));
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(again.body, added.body);
    // The downloaded game sent under another name is a copy.
    const std::string download = Get("/api/games/1/recording").body;
    const ApiResponse copy = Submit("Bert", download);
    EXPECT_EQ(copy.status, 409);
    EXPECT_EQ(Body(copy)["error"], "a copy of game 1");
    EXPECT_EQ(Body(Get("/api/games"))["games"].size(), 1u);
}

TEST_P(ApiTest, TheTableReadsInPagesWithRanksDetailsAndRecordings) {
    ASSERT_EQ(Submit("Whole", whole_).status, 201);
    for (int i = 0; i < 4; ++i) {
        ++now_;
        ASSERT_EQ(Submit("Bombed " + std::to_string(i), BombedGameRecording(i)).status, 201);
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
    EXPECT_EQ(names,
              (std::vector<std::string>{"Whole", "Bombed 0", "Bombed 1", "Bombed 2", "Bombed 3"}));
    for (const auto& [score, rank] : std::vector<std::pair<int, int>>{{76, 1}, {75, 2}, {0, 6}}) {
        EXPECT_EQ(Body(Get("/api/rank?score=" + std::to_string(score)))["rank"], rank);
    }
    const json details = Body(Get("/api/games/1"));
    EXPECT_EQ(details["finalState"], VerifyRecording(whole_, limits_).finalState);
    EXPECT_EQ(details["ticks"], 750 - 576);
    EXPECT_EQ(details["system"], "linux");
    EXPECT_EQ(details["score"], 75);
    const ApiResponse recording = Get("/api/games/1/recording");
    EXPECT_EQ(recording.contentType, "text/plain; charset=utf-8");
    EXPECT_EQ(recording.body, VerifyRecording(whole_, limits_).canonical);
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
    for (const std::string& name : {decomposed, sql, html}) {
        ++now_;
        ASSERT_EQ(Submit(name, BombedGameRecording(static_cast<int>(now_ % 100))).status, 201);
    }
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
    now_ += (750 - 576) * 40;
    const ApiResponse game = Submit("Anna", whole_, Body(token)["token"]);
    EXPECT_TRUE(Body(game)["live"]) << game.body;
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
        {"POST", "/api/games", json{{"name", "Anna"}, {"recording", WholeGameRecording()}}.dump()});
    EXPECT_EQ(submit.status, 503);
    EXPECT_EQ(json::parse(submit.body)["error"], "the database is unavailable");
}

}  // namespace

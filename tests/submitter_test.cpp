// The world table's client: every finished game goes through the outbox,
// leaves it once the server has answered for it, and stays there otherwise.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/Submitter.h"
#include "support/TempGameDir.h"

namespace {

// Answers every request with the same response and notes what was sent
// (read once the submitter, which owns the client, is gone).
class FakeHttp : public HttpClient {
  public:
    FakeHttp(HttpResponse answer, std::vector<std::string>& sent)
        : answer_(std::move(answer)), sent_(sent) {}
    HttpResponse PostJson(const std::string& url, const std::string& json) override {
        sent_.push_back(url + " " + json);
        return answer_;
    }

  private:
    HttpResponse answer_;
    std::vector<std::string>& sent_;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(Submitter, EachAnswerLeavesItsStatusAndTheOutboxAsItShould) {
    const struct {
        HttpResponse answer;
        const char* status;
        bool kept;
    } cases[] = {
        {{201, "{\"id\": 4, \"rank\": 3, \"score\": 75}", ""}, "World rank: 3", false},
        {{200, "{\"id\": 4, \"rank\": 1}", ""}, "World rank: 1", false},
        {{422, "{\"error\": \"the game was quit before its end\"}", ""},
         "Not counted: the game was quit before its end",
         false},
        {{409, "{\"error\": \"a copy of game 7\"}", ""}, "Not counted: a copy of game 7", false},
        {{0, "", "Connection refused"}, "Not sent (Connection refused): kept for later", true},
        {{503, "{\"error\": \"database down\"}", ""}, "Not sent (HTTP 503): kept for later", true},
        {{429, "", ""}, "Not sent (HTTP 429): kept for later", true},
    };
    for (const auto& c : cases) {
        TempGameDir dir;
        const std::string outbox = Submitter::kOutboxFile;
        std::vector<std::string> sent;
        {
            Submitter s(std::make_unique<FakeHttp>(c.answer, sent), "http://127.0.0.1:9/", "Ada",
                        outbox);
            s.Submit("# quorvax recording\n1 down space\n");
            s.WaitIdle();
            EXPECT_EQ(s.Status(), c.status);
        }
        ASSERT_EQ(sent.size(), 1u) << c.status;
        EXPECT_EQ(sent[0],
                  "http://127.0.0.1:9/api/games {\"name\": \"Ada\", \"recording\": "
                  "\"# quorvax recording\\n1 down space\\n\"}");
        EXPECT_EQ(std::filesystem::exists(outbox), c.kept) << c.status;
    }
}

// A game kept while the server was away goes out, unchanged, at the next
// start, before the games played then.
TEST(Submitter, TheOutboxIsSentAtTheNextStartInOrder) {
    TempGameDir dir;
    const std::string outbox = Submitter::kOutboxFile;
    std::vector<std::string> lost;
    {
        Submitter away(std::make_unique<FakeHttp>(HttpResponse{0, "", "no network"}, lost),
                       "http://h", "Bo \"B\"", outbox);
        away.Submit("game one\n");
        away.WaitIdle();
        away.Submit("game two\n");
        away.WaitIdle();
    }
    const std::string kept = ReadAll(outbox);
    EXPECT_EQ(kept, Submitter::Body("Bo \"B\"", "game one\n") + "\n" +
                        Submitter::Body("Bo \"B\"", "game two\n") + "\n");
    std::vector<std::string> sent;
    {
        Submitter s(std::make_unique<FakeHttp>(HttpResponse{201, "{\"rank\": 2}", ""}, sent),
                    "http://h", "Bo \"B\"", outbox);
        s.WaitIdle();
        s.Submit("game three\n");
        s.WaitIdle();
    }
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], "http://h/api/games " + Submitter::Body("Bo \"B\"", "game one\n"));
    EXPECT_NE(sent[2].find("game three"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(outbox));
}

TEST(Submitter, JsonOfTheBodyAndTheAnswers) {
    EXPECT_EQ(Submitter::Body("A\\\"", "x\n\ty\x01"),
              "{\"name\": \"A\\\\\\\"\", \"recording\": \"x\\n\\u0009y\\u0001\"}");
    EXPECT_EQ(Submitter::JsonField("{\"id\": 4, \"rank\": 12}", "rank"), "12");
    EXPECT_EQ(Submitter::JsonField("{\"error\": \"say \\\"no\\\"\"}", "error"), "say \"no\"");
    EXPECT_EQ(Submitter::JsonField("{\"rank\"", "rank"), "");
    EXPECT_EQ(Submitter::JsonField("<html>", "error"), "");
}

// A start token asked for as the game began goes with that game only.
TEST(Submitter, TheStartTokenGoesWithItsGame) {
    TempGameDir dir;
    std::vector<std::string> sent;
    {
        Submitter s(std::make_unique<FakeHttp>(
                        HttpResponse{201, "{\"token\": \"t1\", \"rank\": 1}", ""}, sent),
                    "http://h", "Ada", Submitter::kOutboxFile);
        s.GameStarted();
        s.WaitIdle();
        s.Submit("game one\n");
        s.WaitIdle();
        s.Submit("game two\n");
        s.WaitIdle();
    }
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], "http://h/api/tokens {}");
    EXPECT_EQ(sent[1], "http://h/api/games " + Submitter::Body("Ada", "game one\n", "t1"));
    EXPECT_EQ(sent[2], "http://h/api/games " + Submitter::Body("Ada", "game two\n"));
}

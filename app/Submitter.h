#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/HttpClient.h"

// Sends finished games to the world's table (quorvax --leaderboard URL
// --player NAME) as POST URL/api/games, on a worker thread of its own: the
// tick never waits on the network. Each game goes into the outbox file
// first and leaves it only once the server has answered for it, so a game
// that cannot be sent (no network, server down, 5xx) is sent at the next
// start and after each game; nothing is lost.
class Submitter {
  public:
    static constexpr const char* kOutboxFile = "outbox.dat";

    // Starts the worker, which at once sends what the outbox still holds.
    Submitter(std::unique_ptr<HttpClient> http, std::string url, std::string player,
              std::string outboxPath = kOutboxFile);
    // Lets the request under way finish (bounded by the client's timeouts);
    // what is unsent stays in the outbox.
    ~Submitter();
    Submitter(const Submitter&) = delete;
    Submitter& operator=(const Submitter&) = delete;

    // GameApp as a game begins: asks the server for a start token, which
    // the game's submission carries (a game sent no sooner than its own
    // length after it is marked as played live). No token, no harm.
    void GameStarted();
    // GameApp after a game's end: its recording from the program's start.
    void Submit(const std::string& recording);
    // The line the high-score screen shows: the world rank of the last game,
    // or why it was not sent; "" before any answer.
    std::string Status() const;
    // Tests: until the worker has nothing more it can send now.
    void WaitIdle();

    // The request body of a game, and the parts of an answer the game reads.
    static std::string Body(const std::string& player, const std::string& recording,
                            const std::string& token = "");
    static std::string JsonField(const std::string& json, const std::string& name);

  private:
    void Run();
    // The outbox's lines (one request body each); under mutex_.
    std::string ReadOutbox() const;
    void WriteOutbox(const std::string& lines) const;
    void Answered(const HttpResponse& r);

    const std::unique_ptr<HttpClient> http_;
    const std::string url_;
    const std::string player_;
    const std::string outbox_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::string status_;        // under mutex_
    bool pending_ = true;       // under mutex_: the outbox may hold what can be sent now
    bool tokenWanted_ = false;  // under mutex_
    std::string token_;         // under mutex_: the running game's start token
    bool busy_ = false;         // under mutex_
    bool stop_ = false;         // under mutex_
    std::thread worker_;
};

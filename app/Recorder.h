#pragma once

#include <bitset>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/InputTap.h"

class MainWindow;

// Records the game as it is played, in the replay script format, so that
// quorvax --play, quorvax-replay and the leaderboard's verifier repeat it.
// Every program keeps its whole recording in memory from its start (a few
// KB an hour), so that any finished game can be sent with all that led to
// it; quorvax --record FILE also writes it to FILE, each line flushed as it
// is written: a game that ends by a crash or a kill still leaves every
// event up to that moment.
class Recorder : public InputTap {
  public:
    Recorder() = default;
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Creates (or empties) the file; main() calls it before anything else,
    // with the path as the player gave it. False with the reason.
    bool Open(const std::string& path, std::string& error);
    // GameApp, once the working directory is chosen and before the game
    // reads its files: the header, and the window whose ticks stamp the events.
    void Start(const MainWindow& window);
    // Each input message (System's tap): written with the tick it acts on,
    // the next one. Keys that scripts do not know change nothing in the game
    // and are left out, and so is the release of a key whose press was not
    // written (the Enter that answered a message box, a key pressed under
    // Alt): it has nothing to release. Passes every message on.
    bool OnInput(const Message& msg) override;
    // GameApp after the main window has closed: the final state line.
    void Finish(const std::string& state);
    // The recording so far, up to the events of `tick` (those that acted
    // before it ran), closed by `state` as the final state of a finished
    // game: GameApp after each game's end.
    std::string UpTo(uint64_t tick, const std::string& state) const;
    // Everything recorded so far.
    const std::string& Text() const { return text_; }

  private:
    void Write(const std::string& text);

    std::string text_;
    std::FILE* file_ = nullptr;
    std::string path_;
    const MainWindow* window_ = nullptr;
    std::bitset<256> written_;  // keys whose press is written and not yet their release
    bool failed_ = false;
};

// A stand-in for the game's verifier in the server's own tests: it reads a
// short text that states what a replay would have proved, so the tests can
// make any outcome without playing a game. Never linked into the server.
#include <chrono>
#include <sstream>
#include <thread>

#include "server/GameVerifier.h"

const char* RulesVersion() {
    return "test-1";
}

// Text: "quorvax-test-game" then lines "rules R", "system S", "score N",
// "level N", "ticks START END", optionally "quit", "refuse REASON" or
// "slow MS" (verification takes that long).
VerifiedGame VerifyRecording(std::string_view recording, const VerifyLimits& limits) {
    VerifiedGame game;
    if (recording.size() > limits.maxBytes) {
        game.reason = "too long";
        return game;
    }
    std::istringstream in{std::string(recording)};
    std::string line;
    if (!std::getline(in, line) || line != "quorvax-test-game") {
        game.reason = "not a recording";
        return game;
    }
    bool quit = false;
    std::string canonical = "quorvax-test-game\n";
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "rules") {
            words >> game.rules;
        } else if (key == "system") {
            words >> game.system;
        } else if (key == "score") {
            words >> game.score;
        } else if (key == "level") {
            words >> game.level;
        } else if (key == "ticks") {
            words >> game.startTick >> game.endTick;
        } else if (key == "slow") {
            // Takes as long as a real verification of a long game.
            int ms = 0;
            words >> ms;
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            continue;
        } else if (key == "quit") {
            quit = true;
        } else if (key == "refuse") {
            game.reason = line.substr(7);
            return game;
        } else if (!key.empty()) {
            continue;  // notes do not change the game
        }
        if (!key.empty()) {
            canonical += line + "\n";
        }
    }
    if (game.rules != RulesVersion()) {
        game.reason =
            "recorded with rules " + game.rules + ", this server plays rules " + RulesVersion();
    } else if (quit) {
        game.reason = "the game was quit before its end";
    } else if (game.endTick - game.startTick > limits.maxTicks) {
        game.reason = "too long";
    } else {
        game.ok = true;
        game.finalState = "state " + std::to_string(game.score);
        game.canonical = canonical;
    }
    return game;
}

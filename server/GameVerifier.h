#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Bounds on one verification (the server sets them from its options).
struct VerifyLimits {
    uint64_t maxTicks = 4ull * 3600 * 25;  // four hours of play at 25 ticks a second
    double maxCpuSeconds = 2.0;            // thread CPU time for one verification
    size_t maxBytes = 4u << 20;            // the recording's size
};

// What the replay of a submitted recording proved, or why it proves nothing.
struct VerifiedGame {
    bool ok = false;
    std::string
        reason;  // one line when !ok: "not a recording", "line N: ...", "recorded with rules 1,
                 // this server plays rules 2", "the game was quit before its end", "too long", ...
    int score = 0;           // the score when the last life was lost
    int level = 0;           // the level reached, as the HUD counts it
    uint64_t startTick = 0;  // the tick the verified game began (left the title)
    uint64_t endTick = 0;    // the tick its last life was lost
    std::string rules;       // the rules version the recording states
    std::string
        system;  // the system the recording says it was made on ("linux", "windows", "web"), or ""
    std::string finalState;  // the state line at endTick, as quorvax-replay prints it
    std::string canonical;   // the recording from the program's start up to endTick, in canonical
                            // text (same keys at the same ticks -> byte-identical text); stored and
                            // downloaded, and the server keys duplicates on its SHA-256
};

// Current rules version, as written into recordings.
const char* RulesVersion();

// Plays the recording from the program's start with the world's rules and verifies the LAST game
// that ends (last life lost) in it. Re-entrant: any number of threads at once.
VerifiedGame VerifyRecording(std::string_view recording, const VerifyLimits& limits);

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scores/ScoreTable.h"

// What the comment lines of a recorded game say beside its events: that it
// is a recording, the program and the game files it was made with, and the
// state the game ended in. The recorder writes them; the script reader
// fills them in; playback and the replay tool compare them.
struct RecordingInfo {
    struct File {
        std::string name;
        bool present = false;
        uint64_t size = 0;
        uint32_t crc = 0;  // CRC-32 of the contents
    };

    // The first line of every recording.
    static constexpr const char* kMagic = "# quorvax recording";
    // The last tick a script may name: more than two years of play at 40 ms,
    // and what the page's clock hold takes. A larger one is a damaged file
    // (its game would never end), refused as a tick of 0 is.
    static constexpr uint64_t kLastTick = 2147483647;

    bool isRecording = false;
    std::string version;
    std::string rules;   // "# rules N": RulesVersion(); "" in recordings made before it was written
    std::string system;  // "# system NAME": linux, windows or web; "" when not said
    std::vector<File> files;
    // The high-score table the game started from ("# table SCORE NAME", the
    // name in UTF-8); playback plays against it, not the player's file.
    // Empty in recordings made before it was written.
    std::vector<ScoreEntry> table;
    std::string finalState;  // "state tick=..." as the replay tool prints it; "" when missing
    uint64_t finalTick = 0;

    // The system this program was built for, as "# system" names it.
    static const char* ThisSystem();
    // The files of the working directory that shape play: only the score
    // table does (it decides whether the name dialog opens). Pictures,
    // sounds and the song change nothing the game counts.
    static const std::vector<std::string>& PlayFiles();
    // This program's version and the play files as they are now; the
    // recorder calls it before the game reads them.
    static RecordingInfo OfThisGame();
    // A file's size and CRC-32 as it is now (OfThisGame).
    static File DescribeFile(const std::string& name);
    // The header lines, each ending in a newline.
    std::string FormatHeader() const;
    // The closing line for a final state.
    static std::string FormatFinal(const std::string& state);
    // Takes one comment line of a script ("#..."); lines it does not know
    // are left alone. False, with the reason, for a malformed one of its own.
    bool TakeComment(const std::string& line, std::string& why);
    // "" when `now` is what the recording was made with; otherwise a
    // sentence naming the differences (playback shows it, the replay tool prints it).
    std::string DifferencesFrom(const RecordingInfo& now) const;
};

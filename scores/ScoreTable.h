#pragma once

#include <cstdio>
#include <string>

class TextLines;

// One place of the high-score table. The name is in Windows-1252 bytes, as
// the game's fonts draw it.
struct ScoreEntry {
    std::string name;
    int score = 0;
};

// The five best results of all games, best first. Only Insert puts entries
// in order; a table read from a hand-edited file keeps the file's order.
class ScoreTable {
  public:
    static constexpr int kEntries = 5;
    static constexpr const char* kFileName = "scores.dat";
    // The name of every entry of a cleared table: the game's web address.
    static constexpr const char* kClearedName = "www.quorvax.example";
    // The name stored when the player leaves the name dialog empty.
    static constexpr const char* kDefaultName = "SuperHero";
    // A saved line, name, TAB and score, has at most this many bytes.
    static constexpr size_t kMaxLineBytes = 1023;

    // Load, and Game::ClearScores (SHIFT on the high-score screen): every
    // entry gets the web address and score 0.
    void Clear();
    // Game::LoadScores at start-up: clears the table, then takes the first
    // five lines of the file. A missing or unreadable file leaves it cleared.
    void Load(const char* fileName = kFileName);
    // The same from an open stream (tests and fuzzers).
    void Load(std::FILE* file);
    // Game::SaveScores at program end: writes the five entries, replacing
    // the file only once the new one is complete; a failed save leaves the
    // old file and is not reported.
    void Save(const char* fileName = kFileName) const;
    // Game::InsertScore after the last life: when the score beats an entry,
    // moves the lower entries down, asks for the name with the name dialog
    // and stores it in the freed place.
    void Insert(int score);

    // The place a new score would take, or -1 when it does not enter.
    int PlaceFor(int score) const;
    // The entry parsed from one line of the file: the name up to the first
    // TAB, the score from the text after it. False, entry untouched, for a
    // line without a TAB.
    static bool ParseLine(const std::string& line, ScoreEntry& entry);
    // The line saved for an entry, cut to kMaxLineBytes.
    static std::string FormatLine(const ScoreEntry& entry);

    ScoreEntry entries[kEntries];

  private:
    void TakeLines(const TextLines& lines);
};

#pragma once

#include <string>

// One place of the high-score table.
struct ScoreEntry {
    std::string name;
    int score = 0;
};

// The five best results, best first. (Stand-in until the table is built:
// always cleared, never read or written.)
class ScoreTable {
  public:
    static constexpr int kEntries = 5;
    // Every entry gets the game's web address and score 0.
    void Clear();
    void Load();
    void Save() const;
    void Insert(int score);

    ScoreEntry entries[kEntries];
};

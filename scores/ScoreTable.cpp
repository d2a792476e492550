#include "scores/ScoreTable.h"

#include <climits>
#include <cstdint>

#include "scores/NameDialog.h"
#include "scores/TextLines.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a number as atoi does (leading blanks, a sign, digits up to the
// first other character, 0 without digits), but a value beyond 32 bits
// stops at the nearest limit instead of being undefined.
int ParseScore(const std::string& text, size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int64_t value = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        if (value > limit) {
            value = limit;
        }
        ++pos;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

void ScoreTable::Clear() {
    for (ScoreEntry& e : entries) {
        e.name = kClearedName;
        e.score = 0;
    }
}

bool ScoreTable::ParseLine(const std::string& line, ScoreEntry& entry) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) {
        return false;
    }
    entry.name = line.substr(0, tab);
    entry.score = ParseScore(line, tab + 1);
    return true;
}

std::string ScoreTable::FormatLine(const ScoreEntry& entry) {
    const std::string number = "\t" + std::to_string(entry.score);
    // Every Windows-1252 byte is one character, so any cut of the name
    // falls on a character boundary; the score is always kept whole.
    const size_t room = kMaxLineBytes - number.size();
    return entry.name.substr(0, room) + number;
}

void ScoreTable::TakeLines(const TextLines& text) {
    for (int i = 0; i < kEntries && i < static_cast<int>(text.lines.size()); ++i) {
        ParseLine(text.lines[i], entries[i]);
    }
}

void ScoreTable::Load(const char* fileName) {
    Clear();
    TextLines text;
    if (text.Read(fileName)) {
        TakeLines(text);
    }
}

void ScoreTable::Load(std::FILE* file) {
    Clear();
    TextLines text;
    if (text.Read(file)) {
        TakeLines(text);
    }
}

void ScoreTable::Save(const char* fileName) const {
    TextLines text;
    for (const ScoreEntry& e : entries) {
        text.lines.push_back(FormatLine(e));
    }
    text.Write(fileName);
}

int ScoreTable::PlaceFor(int score) const {
    for (int p = 0; p < kEntries; ++p) {
        if (entries[p].score < score) {
            return p;
        }
    }
    return -1;
}

void ScoreTable::Insert(int score) {
    const int p = PlaceFor(score);
    if (p < 0) {
        return;
    }
    for (int j = kEntries - 2; j >= p; --j) {
        entries[j + 1] = entries[j];
    }
    // The frames drawn while the dialog is open show the table moved down,
    // with the new place still held by its former owner.
    NameDialog dialog;
    dialog.DoModal();
    entries[p].name = dialog.name.empty() ? std::string(kDefaultName) : dialog.name;
    entries[p].score = score;
}

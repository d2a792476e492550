#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The lines of a small text file, without their line ends. The score table
// reads and writes "scores.dat" through it.
class TextLines {
  public:
    // Files larger than this are not read: the table needs five short lines.
    static constexpr long kMaxScoreFileBytes = 1L << 20;

    virtual ~TextLines() = default;

    // ScoreTable::Load: replaces the lines with those of the file. A line
    // ends at its line feed; a carriage return before it is dropped, and a
    // carriage return or NUL byte inside a line ends its text. Text after the
    // last line feed is not read. False, lines unchanged, when the file
    // cannot be opened, is empty, too large or holds no line feed.
    bool Read(const char* fileName);
    // The same over an open stream (tests and fuzzers fill one from memory).
    bool Read(std::FILE* file);
    // ScoreTable::Save: replaces the file atomically with the lines, each
    // ended by CR LF. The data goes to a temporary file in the same
    // directory, is flushed to the disk and then renamed over the file, so a
    // failed save leaves the old file as it was. False on any failure.
    bool Write(const char* fileName) const;
    // Writes the lines, each ended by CR LF, to an open stream; false on a
    // write error.
    bool Write(std::FILE* file) const;

    std::vector<std::string> lines;
};

// TextLines::Read and ScoreTable::Load over memory streams.
#include <cstddef>
#include <cstdint>

#include "image/FileStream.h"
#include "scores/ScoreTable.h"
#include "scores/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FileStream stream;
    if (!stream.OpenMemory(data, size)) {
        return 0;
    }
    TextLines lines;
    lines.Read(stream.Get());
    if (!stream.OpenMemory(data, size)) {
        return 0;
    }
    ScoreTable table;
    table.Load(stream.Get());
    for (const ScoreEntry& e : table.entries) {
        ScoreTable::FormatLine(e);
    }
    return 0;
}

// What a recording starts from, read from the working directory when the
// recorder starts: kept apart from the reader, so that programs that only
// read recordings (the verifier) need no score table.
#include "app/RecordingInfo.h"
#include "scores/ScoreTable.h"
#include "world/RulesVersion.h"

#ifndef QUORVAX_VERSION
#define QUORVAX_VERSION "unknown"
#endif

RecordingInfo RecordingInfo::OfThisGame() {
    RecordingInfo info;
    info.isRecording = true;
    info.version = QUORVAX_VERSION;
    info.rules = RulesVersion();
    info.system = ThisSystem();
    for (const std::string& name : PlayFiles()) {
        info.files.push_back(DescribeFile(name));
    }
    ScoreTable now;
    now.Load();
    info.table.assign(std::begin(now.entries), std::end(now.entries));
    return info;
}

#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "app/RecordingInfo.h"
#include "platform/Message.h"

class World;

// One line of a replay script: input delivered just before frame tick `tick` runs.
struct ScriptEvent {
    uint64_t tick = 0;
    Message msg;
};

// Reads "TICK down KEY", "TICK up KEY" and "TICK text STRING" lines; '#'
// starts a comment. KEY is one of up, down, left, right, ctrl, shift, space,
// escape, enter, f1, backspace, delete, home, end. A script that begins with
// RecordingInfo::kMagic is a recorded game and is held to more: its ticks
// never go back, its last line is whole, and its comments fill `info` when
// given. On a bad line (binary bytes included) answers false with
// "line N: why" in error, and the caller plays nothing.
bool ParseReplayScript(std::istream& in, std::vector<ScriptEvent>& events, std::string& error,
                       RecordingInfo* info = nullptr);

// The virtual-key code of a script key name, 0 for an unknown name.
int ReplayKeyCode(const std::string& name);
// The script name of a virtual-key code, "" for a key scripts do not know.
std::string ReplayKeyName(int vk);

// "state tick=T screen=... level=L lives=N score=S enemies=E bombs=B hero=X,Y,Z facing=DEG"
std::string FormatState(const World& game, uint64_t tick);
// Where a state line differs from the recorded one, in words for the
// player: "score 75 (recorded: 80), lives 0 (recorded: 1)"; "" when alike.
std::string StateDifferences(const std::string& now, const std::string& recorded);

#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "platform/Message.h"

class Game;

// One line of a replay script: input delivered just before frame tick `tick` runs.
struct ScriptEvent {
    uint64_t tick = 0;
    Message msg;
};

// Reads "TICK down KEY", "TICK up KEY" and "TICK text STRING" lines; '#'
// starts a comment. KEY is one of up, down, left, right, ctrl, shift, space,
// escape, enter, f1. On a bad line answers false with "line N: why" in error.
bool ParseReplayScript(std::istream& in, std::vector<ScriptEvent>& events, std::string& error);

// The virtual-key code of a script key name, 0 for an unknown name.
int ReplayKeyCode(const std::string& name);

// "state tick=T screen=... level=L lives=N score=S enemies=E bombs=B hero=X,Y,Z facing=DEG"
std::string FormatState(const Game& game, uint64_t tick);

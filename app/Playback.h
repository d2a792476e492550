#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/RecordingInfo.h"
#include "app/ReplayScript.h"
#include "app/TickFeed.h"
#include "platform/InputTap.h"

// quorvax --play FILE: the keys and the names of a recorded game go in at
// the ticks they were recorded at, in the window at the normal speed. The
// player's own keys are held back, all but Escape, which ends the
// playback, and F12, which still takes a screenshot.
class Playback : public InputTap, public TickFeed {
  public:
    // Reads the recording; main() calls it before anything else, with the
    // path as the player gave it. False with "FILE: line N: why" when it is
    // not one the game can play (a file the recorder did not write, an
    // empty one too): then nothing is played.
    bool Load(const std::string& path, std::string& error);
    // What the recording says it was made with.
    const RecordingInfo& Info() const { return info_; }
    // After the game: whether it ran through the recording's last tick,
    // rather than being stopped (Escape, the window closed, a quit signal,
    // or the page starting another game) or the recording being cut short.
    bool Finished() const;

    // The player's input (System's tap): only Escape and F12 pass.
    bool OnInput(const Message& msg) override;
    // Delivers the recorded input of `tick`; after the recording's last
    // tick, or once the player pressed Escape, ends every dialog.
    void BeforeTick(uint64_t tick, Dialog& main) override;

  private:
    std::vector<ScriptEvent> events_;
    size_t next_ = 0;
    RecordingInfo info_;
    bool feeding_ = false;
    bool stopped_ = false;
    uint64_t lastTick_ = 0;
};

// How a playback ended, in the words the page's status bar and the
// desktop's box show: "Playback stopped at tick 80", played to the end as
// recorded, or what ended otherwise ("score 75 (recorded: 80)"). `state`
// is the state line the game ended in, `recorded` the recording's own.
std::string PlaybackEndWords(bool finished, const std::string& state, const std::string& recorded);
// Why a file was not played (Load's error), in the same words.
std::string PlaybackRefusedWords(const std::string& why);

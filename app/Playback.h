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
    // Whether the player ended the playback with Escape.
    bool Stopped() const { return stopped_; }

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
};

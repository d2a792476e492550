#pragma once

#include "platform/MidiSong.h"

// Where the sequencer sends a song's messages and whose sound it pulls:
// the synthesiser in the game, a recorder in tests.
class MidiSink {
  public:
    virtual ~MidiSink() = default;
    // A channel message, taking effect at the next sample rendered.
    virtual void Send(const MidiEvent& event) = 0;
    // Renders frames stereo float frames (interleaved) into out.
    virtual void Render(float* out, int frames) = 0;
};

#pragma once

#include <cstdint>
#include <memory>

#include "platform/MidiSink.h"
#include "platform/MidiSong.h"

// Plays a song on the audio clock. Every event falls at the sample its time
// gives; the sink renders in blocks of blockFrames samples and applies a
// message at the start of the next block it renders, so the sequencer sends
// each event at the block boundary nearest to its sample (within half a
// block) and splits rendering there. Start and Stop run on the
// user-interface thread under the output's lock; Render on the audio thread.
class MidiSequencer {
  public:
    MidiSequencer(int sampleRate, int blockFrames);

    // Plays song from fromUs, beginning at the next block rendered. Channel
    // settings before fromUs are sent first; notes before it are skipped.
    void Start(std::shared_ptr<const MidiSong> song, uint64_t fromUs);
    // No more events are sent; sounding notes are the caller's to silence.
    void Stop();
    // Started and not stopped (also after the last event has been sent).
    bool Playing() const { return song_ != nullptr; }

    // Renders frames stereo frames through sink, sending the due events.
    void Render(MidiSink& sink, float* out, int frames);

    // Frames rendered since the sequencer was made (the sink's own clock).
    uint64_t Clock() const { return clock_; }
    // The sample an event of the playing song falls at, and the one it is sent at.
    uint64_t EventSample(const MidiEvent& event) const;
    uint64_t SendSample(const MidiEvent& event) const;

  private:
    const int sampleRate_;
    const uint64_t block_;
    std::shared_ptr<const MidiSong> song_;
    uint64_t fromUs_ = 0;
    uint64_t origin_ = 0;  // the clock at the song's fromUs
    size_t next_ = 0;
    size_t chaseEnd_ = 0;  // events before this one are settings still to send
    size_t chased_ = 0;
    uint64_t clock_ = 0;
};

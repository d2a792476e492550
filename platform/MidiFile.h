#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/MidiSong.h"

// Reader of Standard MIDI Files, formats 0 and 1: running status, meta
// events (tempo and end of track used, the rest skipped), SysEx skipped,
// tempo changes from any track. A damaged track is played up to the last
// sound event before the damage; a track without an end marker ends with
// its chunk. Results are 0 or one of the negative codes below.
class MidiFile {
  public:
    static constexpr int kOk = 0;
    static constexpr int kErrCannotOpen = -1;
    static constexpr int kErrNotMidi = -2;      // no MThd header
    static constexpr int kErrUnsupported = -3;  // format 2, division 0, bad header length
    static constexpr int kErrNoTracks = -4;     // no track could be read
    static constexpr int kErrTooLarge = -5;     // over one of the limits below

    static constexpr size_t kMaxMidiFileBytes = 16u << 20;
    static constexpr int kMaxMidiTracks = 256;
    static constexpr size_t kMaxMidiEvents = 1u << 20;  // channel messages and tempo changes
    static constexpr uint64_t kMaxMidiSongUs = 24ull * 3600 * 1000000;  // a day

    // ConnectDataFile: reads the whole stream (at most kMaxMidiFileBytes).
    static int Read(std::FILE* file, MidiSong& song);
    // Parses a file image in memory; song is left empty on failure.
    static int Parse(const uint8_t* data, size_t size, MidiSong& song);
};

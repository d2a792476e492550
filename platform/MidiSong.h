#pragma once

#include <cstdint>
#include <vector>

// One channel message of a song at its time from the start.
struct MidiEvent {
    uint64_t timeUs = 0;
    uint8_t status = 0;  // 0x80..0xEF
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

// A Standard MIDI File reduced to what is played: the channel messages of
// every track merged in time order, with the tempo map already applied.
struct MidiSong {
    std::vector<MidiEvent> events;
    uint64_t lengthUs = 0;  // the end of the longest track

    // Rounded to the nearest millisecond.
    uint32_t LengthMs() const { return static_cast<uint32_t>((lengthUs + 500) / 1000); }
};

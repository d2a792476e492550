#pragma once

#include <cstdint>

// The record that starts and stops the song, eight 32-bit words handed to
// MidiControl::SetPlayingStatus by value.
struct PlayingStatus {
    uint32_t startTick = 0;  // word 0: GetTickCount at the call
    uint32_t word1 = 0;      // 0
    uint32_t lengthMs = 0;   // word 2: the song's length to start, 0 to stop
    uint32_t word3 = 0;      // nothing is read from it
    uint32_t play = 0;       // word 4: 1 plays, 0 stops
    uint32_t word5 = 0;      // 0
    uint32_t word6 = 0;      // 0
    uint32_t output = 0;     // word 7: the MIDI output (HMIDIOUT) to play through, 0 at stop
};
static_assert(sizeof(PlayingStatus) == 32, "eight 32-bit words");

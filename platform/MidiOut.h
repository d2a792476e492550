#pragma once

#include <cstdint>

class MidiSynth;

// The MIDI output calls of the classic multimedia API. The one device, also
// reached as the MIDI mapper, is the synthesiser rendered into the current
// audio output (Audio()); it needs an output and a SoundFont.
using HMIDIOUT = uint32_t;  // 0: none

constexpr uint32_t MIDI_MAPPER = 0xFFFFFFFFu;
constexpr uint32_t CALLBACK_NULL = 0;

constexpr uint32_t MMSYSERR_NOERROR = 0;
constexpr uint32_t MMSYSERR_BADDEVICEID = 2;
constexpr uint32_t MMSYSERR_ALLOCATED = 4;
constexpr uint32_t MMSYSERR_INVALHANDLE = 5;
constexpr uint32_t MMSYSERR_NODRIVER = 6;  // no audio output
constexpr uint32_t MMSYSERR_INVALPARAM = 11;
constexpr uint32_t MIDIERR_NODEVICE = 68;  // no SoundFont, or it would not load

constexpr int kMaxOpenMidiOuts = 16;

class AudioOutput;

// main, right after the sound device is open: starts finding and loading
// the SoundFont for that output on a worker thread, so that the first
// midiOutOpen finds the synthesiser ready instead of loading it then.
void PreloadMidiSynth(AudioOutput& output);
// MusicPlayer::Start: opens device 0 or the mapper, without a callback. The
// first open on an output finds and loads the SoundFont.
uint32_t midiOutOpen(HMIDIOUT* out, uint32_t deviceId, uintptr_t callback, uintptr_t instance,
                     uint32_t flags);
// MusicPlayer::Start and Stop: closes the handle; a song playing through it stops.
uint32_t midiOutClose(HMIDIOUT out);
// The file player: the synthesiser behind a handle open on the current
// output; null for 0, a closed handle, or one from an output now gone.
MidiSynth* MidiOutSynth(HMIDIOUT out);

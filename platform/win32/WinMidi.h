#pragma once

#include <cstdint>

// winmm's MIDI output, kept apart from the game's MidiOut.h: <mmsystem.h>
// and that header name the same things (HMIDIOUT, MIDI_MAPPER, the error
// codes). A device is winmm's HMIDIOUT as an integer.

// midiOutOpen on the device (MIDI_MAPPER is 0xFFFFFFFF) without a callback;
// winmm's result (0 when open, the MMSYSERR code otherwise).
uint32_t WinMidiOpen(uint32_t deviceId, uintptr_t& device);
// midiOutShortMsg: status | data1 << 8 | data2 << 16.
void WinMidiSend(uintptr_t device, uint32_t shortMessage);
// Every channel back to a fresh device's programs, controllers and pitch bend.
void WinMidiResetChannels(uintptr_t device);
// Pedal up and all notes off on every channel.
void WinMidiSilence(uintptr_t device);
void WinMidiClose(uintptr_t device);

// The winmm device behind one of the game's MIDI handles (MidiOut.cpp); 0 for none.
uintptr_t WinMidiDeviceOf(uint32_t handle);

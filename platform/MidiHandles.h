#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/MidiOut.h"

class AudioOutput;

// The handles midiOutOpen gives out, kept by each backend's MIDI output. A
// handle belongs to the audio output it was opened on (by serial), so one
// left open on an output that is gone can never play again; `device` is the
// system's own handle behind it where there is one (0 otherwise).
class MidiHandles {
  public:
    struct Entry {
        HMIDIOUT handle;
        uint64_t outputSerial;
        uintptr_t device;
    };

    // midiOutOpen: forgets the handles of outputs other than `serial`,
    // returning them so that the backend can close their devices.
    std::vector<Entry> DropOthers(uint64_t serial);
    // midiOutOpen: true when no further handle may be opened.
    bool Full() const { return static_cast<int>(open_.size()) >= kMaxOpenMidiOuts; }
    // midiOutOpen, once the device is open: a new non-zero handle for it.
    HMIDIOUT Add(uint64_t serial, uintptr_t device);
    // Any call given a handle: its entry, or null for 0 and unknown handles.
    const Entry* Find(HMIDIOUT handle) const;
    // midiOutClose: forgets the handle.
    void Remove(HMIDIOUT handle);

  private:
    std::vector<Entry> open_;
    HMIDIOUT next_ = 1;
};

// The one table of the program's MIDI outputs.
MidiHandles& OpenMidiHandles();

// midiOutOpen on Linux, node and the page: checks the arguments and the
// device (the mapper or device 0), finds the audio output, forgets the
// handles of other outputs and sees that the table has room; then `ready`
// readies the output's synthesiser and, when it answers MMSYSERR_NOERROR,
// the new handle goes to out. Else the error midiOutOpen answers.
uint32_t OpenMidiHandle(HMIDIOUT* out, uint32_t deviceId, uintptr_t callback, uint32_t flags,
                        const std::function<uint32_t(AudioOutput&)>& ready);
// midiOutClose on Linux, node and the page: stops the song if this handle
// plays it and forgets the handle; MMSYSERR_INVALHANDLE for one not open.
uint32_t CloseMidiHandle(HMIDIOUT out);

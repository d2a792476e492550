#pragma once

#include <cstdint>
#include <vector>

#include "platform/MidiOut.h"

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

#include "platform/MidiOut.h"

#include "platform/AudioOutput.h"
#include "platform/MidiHandles.h"

// Under node the song is not heard: the mapper opens (so the game goes on
// as on a desktop with music) on a device that plays nothing.

void PreloadMidiSynth(AudioOutput& /*output*/) {}

uint32_t midiOutOpen(HMIDIOUT* out, uint32_t deviceId, uintptr_t callback, uintptr_t /*instance*/,
                     uint32_t flags) {
    if (out == nullptr || callback != 0 || flags != CALLBACK_NULL) {
        return MMSYSERR_INVALPARAM;
    }
    *out = 0;
    if (deviceId != MIDI_MAPPER && deviceId != 0) {
        return MMSYSERR_BADDEVICEID;
    }
    AudioOutput* output = Audio();
    if (output == nullptr) {
        return MMSYSERR_NODRIVER;
    }
    MidiHandles& handles = OpenMidiHandles();
    handles.DropOthers(output->Serial());
    if (handles.Full()) {
        return MMSYSERR_ALLOCATED;
    }
    *out = handles.Add(output->Serial(), 0);
    return MMSYSERR_NOERROR;
}

uint32_t midiOutClose(HMIDIOUT out) {
    if (OpenMidiHandles().Find(out) == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    OpenMidiHandles().Remove(out);
    return MMSYSERR_NOERROR;
}

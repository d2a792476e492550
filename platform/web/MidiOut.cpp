#include "platform/MidiOut.h"

#include "platform/AudioLock.h"
#include "platform/AudioOutput.h"
#include "platform/MidiHandles.h"
#include "platform/MidiSynth.h"

namespace {

// The song's sequencer only keeps the song's place; it renders nothing.
constexpr int kSequencerRate = 1000;

}  // namespace

// The song's recording comes with the page's files: nothing to load.
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
    AudioMixer& mixer = output->Mixer();
    if (mixer.Synth() == nullptr) {
        AudioLock lock(*output);
        mixer.SetSynth(MidiSynth::Create(kSequencerRate, ""));
    }
    *out = handles.Add(output->Serial(), 0);
    return MMSYSERR_NOERROR;
}

uint32_t midiOutClose(HMIDIOUT out) {
    if (OpenMidiHandles().Find(out) == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (MidiSynth* synth = MidiOutSynth(out); synth != nullptr && synth->PlayingHandle() == out) {
        synth->Stop();
    }
    OpenMidiHandles().Remove(out);
    return MMSYSERR_NOERROR;
}

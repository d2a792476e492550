#include "platform/MidiOut.h"

#include "platform/AudioLock.h"
#include "platform/AudioOutput.h"
#include "platform/MidiHandles.h"
#include "platform/MidiSynth.h"
#include "platform/win32/WinMidi.h"

namespace {

// The song's sequencer counts in milliseconds: one frame a millisecond,
// each event sent in the millisecond it falls in.
constexpr int kSequencerRate = 1000;

}  // namespace

// Windows brings its own synthesiser behind the MIDI mapper: nothing to load.
void PreloadMidiSynth(AudioOutput& /*output*/) {}

uint32_t midiOutOpen(HMIDIOUT* out, uint32_t deviceId, uintptr_t callback, uintptr_t /*instance*/,
                     uint32_t flags) {
    if (out == nullptr || callback != 0 || flags != CALLBACK_NULL) {
        return MMSYSERR_INVALPARAM;
    }
    *out = 0;
    AudioOutput* output = Audio();
    if (output == nullptr) {
        return MMSYSERR_NODRIVER;
    }
    MidiHandles& handles = OpenMidiHandles();
    for (const MidiHandles::Entry& gone : handles.DropOthers(output->Serial())) {
        WinMidiClose(gone.device);  // winmm's handle
    }
    if (handles.Full()) {
        return MMSYSERR_ALLOCATED;
    }
    uintptr_t device = 0;
    if (const uint32_t r = WinMidiOpen(deviceId, device); r != MMSYSERR_NOERROR) {
        return r;  // no MIDI device: the caller says "Error opening Mapper"
    }
    AudioMixer& mixer = output->Mixer();
    if (mixer.Synth() == nullptr) {
        AudioLock lock(*output);
        mixer.SetSynth(MidiSynth::Create(kSequencerRate, ""));
    }
    WinMidiResetChannels(device);
    *out = handles.Add(output->Serial(), device);
    return MMSYSERR_NOERROR;
}

uint32_t midiOutClose(HMIDIOUT out) {
    const MidiHandles::Entry* open = OpenMidiHandles().Find(out);
    if (open == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (MidiSynth* synth = MidiOutSynth(out); synth != nullptr && synth->PlayingHandle() == out) {
        synth->Stop();
    }
    WinMidiClose(open->device);
    OpenMidiHandles().Remove(out);
    return MMSYSERR_NOERROR;
}

uintptr_t WinMidiDeviceOf(uint32_t handle) {
    const MidiHandles::Entry* open = OpenMidiHandles().Find(handle);
    return open == nullptr ? 0 : open->device;
}

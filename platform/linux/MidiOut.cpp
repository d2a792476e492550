#include "platform/MidiOut.h"

#include <future>
#include <string>
#include <system_error>

#include "platform/AudioLock.h"
#include "platform/AudioOutput.h"
#include "platform/MidiHandles.h"
#include "platform/MidiSynth.h"
#include "platform/linux/MidiSoundFont.h"

namespace {

std::unique_ptr<MidiSynth> MakeSynth(int sampleRate) {
    const std::string soundFont = FindSoundFont();
    if (soundFont.empty()) {
        return nullptr;
    }
    return MidiSynth::Create(sampleRate, soundFont);
}

// The synthesiser of the output, made on first use (or taken from the
// preload); null when it cannot be.
MidiSynth* SynthOf(AudioOutput& output) {
    AudioMixer& mixer = output.Mixer();
    if (mixer.Synth() != nullptr || mixer.SynthUnavailable()) {
        return mixer.Synth();
    }
    std::unique_ptr<MidiSynth> synth =
        mixer.SynthPending() ? mixer.TakePendingSynth() : MakeSynth(output.SampleRate());
    AudioLock lock(output);
    if (!synth) {
        mixer.MarkSynthUnavailable();
        return nullptr;
    }
    mixer.SetSynth(std::move(synth));
    return mixer.Synth();
}

}  // namespace

void PreloadMidiSynth(AudioOutput& output) {
    AudioMixer& mixer = output.Mixer();
    if (mixer.Synth() != nullptr || mixer.SynthUnavailable() || mixer.SynthPending()) {
        return;
    }
    // The device already knows its real rate; it does not change afterwards.
    try {
        mixer.SetPendingSynth(std::async(std::launch::async, MakeSynth, output.SampleRate()));
    } catch (const std::system_error&) {
        // No thread to spare: the first open loads it, as without a preload.
    }
}

uint32_t midiOutOpen(HMIDIOUT* out, uint32_t deviceId, uintptr_t callback, uintptr_t /*instance*/,
                     uint32_t flags) {
    // FluidSynth on the output, its channels reset for the new song.
    return OpenMidiHandle(out, deviceId, callback, flags, [](AudioOutput& output) -> uint32_t {
        MidiSynth* synth = SynthOf(output);
        if (synth == nullptr) {
            return MIDIERR_NODEVICE;
        }
        AudioLock lock(output);
        synth->ResetChannels();
        return MMSYSERR_NOERROR;
    });
}

uint32_t midiOutClose(HMIDIOUT out) {
    return CloseMidiHandle(out);
}

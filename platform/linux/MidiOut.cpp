#include "platform/MidiOut.h"

#include <algorithm>
#include <future>
#include <string>
#include <system_error>
#include <vector>

#include "platform/AudioLock.h"
#include "platform/AudioOutput.h"
#include "platform/MidiSynth.h"
#include "platform/linux/MidiSoundFont.h"

namespace {

struct OpenHandle {
    HMIDIOUT handle;
    uint64_t outputSerial;
};

std::vector<OpenHandle> g_open;
HMIDIOUT g_nextHandle = 1;

std::vector<OpenHandle>::iterator Find(HMIDIOUT h) {
    return std::find_if(g_open.begin(), g_open.end(),
                        [h](const OpenHandle& o) { return o.handle == h; });
}

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
    // Handles left open on an output that is gone can never play again.
    std::erase_if(g_open,
                  [output](const OpenHandle& o) { return o.outputSerial != output->Serial(); });
    if (static_cast<int>(g_open.size()) >= kMaxOpenMidiOuts) {
        return MMSYSERR_ALLOCATED;
    }
    MidiSynth* synth = SynthOf(*output);
    if (synth == nullptr) {
        return MIDIERR_NODEVICE;
    }
    {
        AudioLock lock(*output);
        synth->ResetChannels();
    }
    HMIDIOUT h = g_nextHandle++;
    while (h == 0 || Find(h) != g_open.end()) {
        h = g_nextHandle++;
    }
    g_open.push_back({h, output->Serial()});
    *out = h;
    return MMSYSERR_NOERROR;
}

uint32_t midiOutClose(HMIDIOUT out) {
    const auto it = Find(out);
    if (out == 0 || it == g_open.end()) {
        return MMSYSERR_INVALHANDLE;
    }
    if (MidiSynth* synth = MidiOutSynth(out); synth != nullptr && synth->PlayingHandle() == out) {
        AudioLock lock(*Audio());
        synth->Stop();
    }
    g_open.erase(Find(out));
    return MMSYSERR_NOERROR;
}

MidiSynth* MidiOutSynth(HMIDIOUT out) {
    AudioOutput* output = Audio();
    const auto it = Find(out);
    if (out == 0 || it == g_open.end() || output == nullptr ||
        it->outputSerial != output->Serial()) {
        return nullptr;
    }
    return output->Mixer().Synth();
}

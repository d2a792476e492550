#include "platform/MidiOut.h"

#include <algorithm>
#include <vector>

#include "platform/AudioLock.h"
#include "platform/AudioOutput.h"
#include "platform/MidiSynth.h"
#include "platform/win32/WinMidi.h"

namespace {

// The song's sequencer counts in milliseconds: one frame a millisecond,
// each event sent in the millisecond it falls in.
constexpr int kSequencerRate = 1000;

struct OpenHandle {
    HMIDIOUT handle;
    uint64_t outputSerial;
    uintptr_t device;  // winmm's handle
};

std::vector<OpenHandle> g_open;
HMIDIOUT g_nextHandle = 1;

std::vector<OpenHandle>::iterator Find(HMIDIOUT h) {
    return std::find_if(g_open.begin(), g_open.end(),
                        [h](const OpenHandle& o) { return o.handle == h; });
}

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
    // Handles left open on an output that is gone can never play again.
    for (auto it = g_open.begin(); it != g_open.end();) {
        if (it->outputSerial != output->Serial()) {
            WinMidiClose(it->device);
            it = g_open.erase(it);
        } else {
            ++it;
        }
    }
    if (static_cast<int>(g_open.size()) >= kMaxOpenMidiOuts) {
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
    HMIDIOUT h = g_nextHandle++;
    while (h == 0 || Find(h) != g_open.end()) {
        h = g_nextHandle++;
    }
    g_open.push_back({h, output->Serial(), device});
    *out = h;
    return MMSYSERR_NOERROR;
}

uint32_t midiOutClose(HMIDIOUT out) {
    const auto it = Find(out);
    if (out == 0 || it == g_open.end()) {
        return MMSYSERR_INVALHANDLE;
    }
    if (MidiSynth* synth = MidiOutSynth(out); synth != nullptr && synth->PlayingHandle() == out) {
        synth->Stop();
    }
    WinMidiClose(it->device);
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

uintptr_t WinMidiDeviceOf(uint32_t handle) {
    const auto it = Find(handle);
    return it == g_open.end() ? 0 : it->device;
}

#include "platform/MidiHandles.h"

#include <algorithm>

#include "platform/AudioLock.h"
#include "platform/AudioOutput.h"
#include "platform/MidiSynth.h"

std::vector<MidiHandles::Entry> MidiHandles::DropOthers(uint64_t serial) {
    std::vector<Entry> dropped;
    std::erase_if(open_, [&](const Entry& e) {
        if (e.outputSerial == serial) {
            return false;
        }
        dropped.push_back(e);
        return true;
    });
    return dropped;
}

HMIDIOUT MidiHandles::Add(uint64_t serial, uintptr_t device) {
    HMIDIOUT h = next_++;
    while (h == 0 || Find(h) != nullptr) {
        h = next_++;
    }
    open_.push_back({h, serial, device});
    return h;
}

const MidiHandles::Entry* MidiHandles::Find(HMIDIOUT handle) const {
    const auto it = std::find_if(open_.begin(), open_.end(),
                                 [handle](const Entry& e) { return e.handle == handle; });
    return handle == 0 || it == open_.end() ? nullptr : &*it;
}

void MidiHandles::Remove(HMIDIOUT handle) {
    std::erase_if(open_, [handle](const Entry& e) { return e.handle == handle; });
}

MidiHandles& OpenMidiHandles() {
    static MidiHandles handles;
    return handles;
}

// Both backends keep their synthesiser in the output's mixer.
MidiSynth* MidiOutSynth(HMIDIOUT out) {
    AudioOutput* output = Audio();
    const MidiHandles::Entry* e = OpenMidiHandles().Find(out);
    if (e == nullptr || output == nullptr || e->outputSerial != output->Serial()) {
        return nullptr;
    }
    return output->Mixer().Synth();
}

uint32_t OpenMidiHandle(HMIDIOUT* out, uint32_t deviceId, uintptr_t callback, uint32_t flags,
                        const std::function<uint32_t(AudioOutput&)>& ready) {
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
    if (const uint32_t r = ready(*output); r != MMSYSERR_NOERROR) {
        return r;
    }
    *out = handles.Add(output->Serial(), 0);
    return MMSYSERR_NOERROR;
}

uint32_t CloseMidiHandle(HMIDIOUT out) {
    if (OpenMidiHandles().Find(out) == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (MidiSynth* synth = MidiOutSynth(out); synth != nullptr && synth->PlayingHandle() == out) {
        AudioLock lock(*Audio());
        synth->Stop();
    }
    OpenMidiHandles().Remove(out);
    return MMSYSERR_NOERROR;
}

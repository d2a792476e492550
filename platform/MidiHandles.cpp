#include "platform/MidiHandles.h"

#include <algorithm>

#include "platform/AudioOutput.h"

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

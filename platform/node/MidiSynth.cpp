#include "platform/MidiSynth.h"

// No synthesiser under node (see MidiOut.cpp): none is ever made, so the
// audio mixer never has one to play or render.
struct MidiSynth::Engine {};

std::unique_ptr<MidiSynth> MidiSynth::Create(int /*sampleRate*/,
                                             const std::string& /*soundFontPath*/) {
    return nullptr;
}

MidiSynth::~MidiSynth() = default;

void MidiSynth::Play(std::shared_ptr<const MidiSong> song, uint64_t fromUs, uint32_t handle) {
    sequencer_.Start(std::move(song), fromUs);
    playingHandle_ = handle;
}

void MidiSynth::Stop() {
    sequencer_.Stop();
    playingHandle_ = 0;
}

void MidiSynth::ResetChannels() {}

void MidiSynth::Render(float* out, int frames) {
    for (int i = 0; i < 2 * frames; ++i) {
        out[i] = 0.0f;
    }
}

// The song in the browser is the recording of it made at build time with the
// desktop's synthesiser and SoundFont: MidiSynth starts and stops that
// recording where the desktop starts and stops the MIDI song. Nothing is
// rendered here.
#include "platform/MidiSynth.h"

#include <emscripten.h>

#include <algorithm>

namespace {

EM_JS(void, PageSongPlay, (double fromSeconds, double lengthSeconds),
      { QuorvaxPage.songPlay(fromSeconds, lengthSeconds); });
EM_JS(void, PageSongStop, (), { QuorvaxPage.songStop(); });

}  // namespace

struct MidiSynth::Engine {};

std::unique_ptr<MidiSynth> MidiSynth::Create(int sampleRate, const std::string& /*soundFont*/) {
    return std::unique_ptr<MidiSynth>(new MidiSynth(std::make_unique<Engine>(), sampleRate, 1));
}

MidiSynth::MidiSynth(std::unique_ptr<Engine> engine, int sampleRate, int blockFrames)
    : engine_(std::move(engine)), sequencer_(sampleRate, blockFrames) {}

MidiSynth::~MidiSynth() {
    if (sequencer_.Playing()) {
        PageSongStop();
    }
}

// The recording loops at the song's length by itself. The player restarts
// the song once that length has passed (a stop and a play in one go): the
// page lets the recording run on then, so the loop stays seamless.
void MidiSynth::Play(std::shared_ptr<const MidiSong> song, uint64_t fromUs, uint32_t handle) {
    const double lengthSeconds = song ? song->LengthMs() / 1000.0 : 0.0;
    sequencer_.Start(std::move(song), fromUs);
    playingHandle_ = handle;
    PageSongPlay(static_cast<double>(fromUs) / 1e6, lengthSeconds);
}

void MidiSynth::Stop() {
    if (sequencer_.Playing()) {
        PageSongStop();
    }
    sequencer_.Stop();
    playingHandle_ = 0;
}

void MidiSynth::ResetChannels() {}

void MidiSynth::Render(float* out, int frames) {
    std::fill(out, out + static_cast<size_t>(frames) * 2, 0.0f);
}

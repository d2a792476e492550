// Stand-ins for the Windows backend's fonts and MIDI output while that
// backend is being written: no font lists and no MIDI device, which the game
// reports and plays on without, as on a machine that has neither. The
// backend's own files replace this one.
#include <cstdio>

#include "platform/GlFont.h"
#include "platform/MidiOut.h"
#include "platform/MidiSynth.h"

bool BuildGlFontLists(const char* face, int, int, unsigned) {
    std::fprintf(stderr, "quorvax: no font for '%s' yet on this system\n", face);
    return false;
}

void PreloadMidiSynth(AudioOutput&) {}

uint32_t midiOutOpen(HMIDIOUT* out, uint32_t, uintptr_t, uintptr_t, uint32_t) {
    if (out != nullptr) {
        *out = 0;
    }
    return MMSYSERR_NODRIVER;
}

uint32_t midiOutClose(HMIDIOUT) {
    return MMSYSERR_INVALHANDLE;
}

MidiSynth* MidiOutSynth(HMIDIOUT) {
    return nullptr;
}

// Never made here (MidiOutSynth has none to give), so never called.
struct MidiSynth::Fluid {};
MidiSynth::~MidiSynth() = default;
void MidiSynth::Play(std::shared_ptr<const MidiSong>, uint64_t, uint32_t) {}
void MidiSynth::Stop() {}
void MidiSynth::Render(float*, int) {}

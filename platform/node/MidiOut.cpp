// The MIDI output where nothing is synthesised: the page (whose song is a
// recording made at build time, started and stopped by its MidiSynth) and
// the replay tool under node (whose MidiSynth makes nothing: no song heard).
// The mapper opens as on a desktop with music, so the game goes on alike.
#include "platform/MidiOut.h"

#include "platform/AudioLock.h"
#include "platform/AudioOutput.h"
#include "platform/MidiHandles.h"
#include "platform/MidiSynth.h"

void PreloadMidiSynth(AudioOutput& /*output*/) {}

uint32_t midiOutOpen(HMIDIOUT* out, uint32_t deviceId, uintptr_t callback, uintptr_t /*instance*/,
                     uint32_t flags) {
    return OpenMidiHandle(out, deviceId, callback, flags, [](AudioOutput& output) -> uint32_t {
        // The sequencer only keeps the song's place, in milliseconds; it renders nothing.
        AudioMixer& mixer = output.Mixer();
        if (mixer.Synth() == nullptr) {
            AudioLock lock(output);
            mixer.SetSynth(MidiSynth::Create(1000, ""));
        }
        return MMSYSERR_NOERROR;
    });
}

uint32_t midiOutClose(HMIDIOUT out) {
    return CloseMidiHandle(out);
}

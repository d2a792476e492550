#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/MidiSequencer.h"
#include "platform/MidiSong.h"

// The General MIDI synthesiser behind the MIDI output and the sequencer that
// feeds it the song. On Linux: FluidSynth with one SoundFont, rendered by
// the mixer inside the audio callback at the device's rate. On Windows the
// system's synthesiser sounds behind the MIDI mapper; the sequencer runs on
// a thread of its own and Render gives silence. All but Render
// run on the user-interface thread under the output's lock.
class MidiSynth {
  public:
    // Null, after a line on stderr, when the SoundFont cannot be loaded.
    static std::unique_ptr<MidiSynth> Create(int sampleRate, const std::string& soundFontPath);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // SetPlayingStatus (play): plays song from fromUs through output handle.
    void Play(std::shared_ptr<const MidiSong> song, uint64_t fromUs, uint32_t handle);
    // Stops the song and releases its notes; their tails ring out.
    void Stop();
    // The handle the song was started through; 0 when none is playing.
    uint32_t PlayingHandle() const { return sequencer_.Playing() ? playingHandle_ : 0; }
    // midiOutOpen: programs, controllers and pitch bend as a fresh device has them.
    void ResetChannels();

    // The audio callback, through the mixer.
    void Render(float* out, int frames);
    const MidiSequencer& Sequencer() const { return sequencer_; }

  private:
    struct Engine;
    MidiSynth(std::unique_ptr<Engine> engine, int sampleRate, int blockFrames);

    std::unique_ptr<Engine> engine_;
    MidiSequencer sequencer_;
    uint32_t playingHandle_ = 0;
};

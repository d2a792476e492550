#pragma once

#include <cstddef>
#include <future>
#include <memory>

#include "platform/AudioClip.h"

class MidiSynth;

// What the audio callback plays: the music synthesiser with one effects
// voice over it. Render runs on the audio thread; everything else runs on
// the user-interface thread while it holds the output's AudioLock.
class AudioMixer {
  public:
    explicit AudioMixer(int sampleRate);
    ~AudioMixer();
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    int SampleRate() const { return sampleRate_; }
    // Only before the device starts pulling (the device may differ from the rate asked for).
    void SetSampleRate(int sampleRate) { sampleRate_ = sampleRate; }
    // The audio callback: fills frames stereo float frames.
    void Render(float* out, int frames);

    // Game::PlaySound: plays the clip from its start; a clip still playing is cut off.
    void PlayEffect(std::shared_ptr<const AudioClip> clip);
    bool EffectPlaying() const { return effect_ != nullptr && effectPos_ < effect_->Frames(); }
    // The player's levels, 0 (silent) to 1 (as the sounds were made); heard
    // from the next block the callback renders.
    void SetGains(float music, float effects) {
        musicGain_ = music;
        effectsGain_ = effects;
    }

    // The MIDI output (midiOutOpen): the synthesiser made on first open, kept
    // while the output lives. Unavailable records a failed attempt, so it is
    // not repeated at every restart of the song.
    MidiSynth* Synth() const { return synth_.get(); }
    void SetSynth(std::unique_ptr<MidiSynth> synth);
    bool SynthUnavailable() const { return synthUnavailable_; }
    void MarkSynthUnavailable() { synthUnavailable_ = true; }
    // A synthesiser still being made on a worker thread (PreloadMidiSynth),
    // taken by the first open. Only the user-interface thread touches it;
    // the audio callback never does.
    bool SynthPending() const { return pendingSynth_.valid(); }
    void SetPendingSynth(std::future<std::unique_ptr<MidiSynth>> pending);
    std::unique_ptr<MidiSynth> TakePendingSynth();

  private:
    int sampleRate_;
    std::shared_ptr<const AudioClip> effect_;
    size_t effectPos_ = 0;
    float musicGain_ = 1.0f;
    float effectsGain_ = 1.0f;
    std::unique_ptr<MidiSynth> synth_;
    bool synthUnavailable_ = false;
    // Declared last, so a worker still loading is waited for before the
    // rest of the mixer goes.
    std::future<std::unique_ptr<MidiSynth>> pendingSynth_;
};

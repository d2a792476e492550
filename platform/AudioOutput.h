#pragma once

#include <cstdint>
#include <string>

#include "platform/AudioMixer.h"

// The sound device as the game sees it: a mixer pulled at the device's real
// sample rate. AudioOutputSdl feeds a sound card; AudioOutputWin32 hands
// the sounds to Windows; AudioOutputMemory is pulled by tests and benchmarks.
class AudioOutput {
  public:
    explicit AudioOutput(int sampleRate);
    virtual ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    int SampleRate() const { return mixer_.SampleRate(); }
    // Only touched under Lock (see AudioLock) once the device runs.
    AudioMixer& Mixer() { return mixer_; }
    // Tells this output apart from an earlier one at the same address.
    uint64_t Serial() const { return serial_; }

    // Keeps the audio callback out while the mixer is changed.
    virtual void Lock() = 0;
    virtual void Unlock() = 0;

    // A device that plays wave files by itself (Windows' PlaySoundA) takes
    // the game's effects as files instead of clips through the mixer.
    virtual bool PlaysFiles() const { return false; }
    // Game::PlaySound on such a device: starts the file in the background,
    // cutting off the effect still playing. False when it cannot.
    virtual bool PlayFile(const std::string& /*path*/) { return false; }

  protected:
    // For a device that learns its real rate while opening, before it runs.
    void SetSampleRate(int sampleRate) { mixer_.SetSampleRate(sampleRate); }

  private:
    AudioMixer mixer_;
    const uint64_t serial_;
};

// The output the game plays through; null when there is none (silence).
// Set by main() after opening the device, or by a test.
AudioOutput* Audio();
void SetAudio(AudioOutput* output);

// The player's sound levels, 0 to 1 each (mute is both 0): applied at once
// to the output in use and kept for any output set later. GameApp sets them
// from the settings; the Settings dialog and M as they change.
void SetAudioLevels(float music, float effects);
float MusicLevel();
float EffectsLevel();
// A MIDI short message (status | data1 << 8 | data2 << 16) for a device that
// plays the song by itself (Windows' MIDI mapper), at the music level: a
// note-on's velocity is scaled, down to none (a note-off) when silent.
uint32_t AtMusicLevel(uint32_t shortMessage);

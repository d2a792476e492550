#pragma once

#include "platform/AudioOutput.h"

// The sound device on Windows: the effects go to PlaySoundA, which plays a
// wave file in the background with one voice of its own, and the music to
// the MIDI mapper (MidiOut). Its mixer is never pulled, so it needs no lock.
class AudioOutputWin32 : public AudioOutput {
  public:
    AudioOutputWin32();
    ~AudioOutputWin32() override;

    void Lock() override {}
    void Unlock() override {}
    bool PlaysFiles() const override { return true; }
    // Starts the file and returns at once; a sound still playing is cut off.
    bool PlayFile(const std::string& path) override;
};

#pragma once

#include "platform/AudioOutput.h"

// Holds the output's lock for a scope: the audio callback waits meanwhile.
class AudioLock {
  public:
    explicit AudioLock(AudioOutput& output) : output_(output) { output_.Lock(); }
    ~AudioLock() { output_.Unlock(); }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;

  private:
    AudioOutput& output_;
};

#pragma once

#include <vector>

#include "platform/AudioOutput.h"

// An output without a sound card: the caller pulls the mixer as the device
// callback would, on its own thread, and gets the samples back.
class AudioOutputMemory : public AudioOutput {
  public:
    explicit AudioOutputMemory(int sampleRate = 48000) : AudioOutput(sampleRate) {}

    // Renders frames stereo frames in callback-sized pieces; interleaved L, R.
    std::vector<float> Pull(int frames, int callbackFrames = 1024);

    void Lock() override {}
    void Unlock() override {}
};

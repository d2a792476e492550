#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/AudioClip.h"

// A RIFF/WAVE sound: PCM of 8, 16, 24 or 32 bits or IEEE float of 32 or 64
// bits, plain or in the extensible format, one to eight channels. A data
// chunk cut short is read as far as whole frames go; sounds longer than
// kMaxWaveSeconds are cut there.
class WaveFile {
  public:
    static constexpr size_t kMaxWaveFileBytes = 32u << 20;
    static constexpr int kMaxWaveChannels = 8;
    static constexpr int kMinWaveRate = 1000;
    static constexpr int kMaxWaveRate = 384000;
    static constexpr int kMaxWaveSeconds = 60;

    // SoundEffects: reads the whole stream (at most kMaxWaveFileBytes).
    // False, with nothing kept, for anything that is not a playable wave.
    bool Read(std::FILE* file);
    bool Parse(const uint8_t* data, size_t size);

    // The sound as the mixer plays it: stereo float frames at sampleRate.
    AudioClip ToClip(int sampleRate) const;

    int SampleRate() const { return sampleRate_; }
    int Channels() const { return channels_; }
    size_t Frames() const { return channels_ > 0 ? samples_.size() / channels_ : 0; }
    // Interleaved samples in -1..1.
    const std::vector<float>& Samples() const { return samples_; }

  private:
    int sampleRate_ = 0;
    int channels_ = 0;
    std::vector<float> samples_;
};

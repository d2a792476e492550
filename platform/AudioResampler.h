#pragma once

#include <cstddef>
#include <vector>

// Sample-rate conversion for sounds played through the mixer: band-limited
// interpolation with a Kaiser-windowed sinc, as a polyphase filter. The
// pass band is flat within 0.1 dB up to 85% of the lower rate's half (9.4
// kHz for a sound of 22,050 Hz); from 102% of that half (11.2 kHz) on,
// everything (the images of the source when going up, the would-be aliases
// when going down) is at least 85 dB down. The same code on every system,
// so a sound is converted alike wherever it plays. Outside the sound the
// signal is taken as silence.
class AudioResampler {
  public:
    // Rates in frames per second, both positive.
    AudioResampler(int fromRate, int toRate);

    // How many frames `inputFrames` frames become: the sound's length at
    // the new rate, rounded up.
    size_t OutputFrames(size_t inputFrames) const;
    // WaveFile::ToClip, once per channel of a sound: converts the samples
    // in[0], in[inStride], ... (inputFrames of them) into out[0],
    // out[outStride], ... (OutputFrames(inputFrames) of them). Output frame
    // j is the sound at the time of input frame j * fromRate / toRate.
    void Convert(const float* in, size_t inputFrames, size_t inStride, float* out,
                 size_t outStride) const;

  private:
    size_t from_;
    size_t to_;
    size_t phases_;  // rows of coefficients for the fractional positions 0, 1/phases_, ...
    size_t taps_;    // input frames each output frame is made of
    size_t half_;    // taps_ / 2: input frames on either side of the position
    bool exact_;     // every position falls on a row: no blend between two
    std::vector<float> coefficients_;  // (phases_ + 1) rows of taps_
};

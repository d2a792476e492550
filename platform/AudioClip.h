#pragma once

#include <cstddef>
#include <vector>

// A sound ready for the mixer: interleaved stereo float frames (L, R, L, R...)
// at the rate of the device it was converted for.
struct AudioClip {
    int sampleRate = 0;
    std::vector<float> samples;

    size_t Frames() const { return samples.size() / 2; }
};

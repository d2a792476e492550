#include "platform/virtual/AudioOutputMemory.h"

#include <algorithm>

std::vector<float> AudioOutputMemory::Pull(int frames, int callbackFrames) {
    std::vector<float> out(static_cast<size_t>(std::max(frames, 0)) * 2);
    const int piece = std::max(callbackFrames, 1);
    for (int done = 0; done < frames; done += piece) {
        Mixer().Render(out.data() + static_cast<size_t>(done) * 2, std::min(piece, frames - done));
    }
    return out;
}

// The wave reader over a memory stream, then the conversion the mixer plays.
#include <cstddef>
#include <cstdint>

#include "audio/WaveFile.h"
#include "image/FileStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FileStream stream;
    if (!stream.OpenMemory(data, size)) {
        return 0;
    }
    WaveFile wave;
    if (wave.Read(stream.Get()) && wave.Frames() <= 48000) {
        // Long sounds are skipped here only to keep each run short.
        wave.ToClip(44100);
    }
    return 0;
}

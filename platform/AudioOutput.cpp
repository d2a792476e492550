#include "platform/AudioOutput.h"

#include <atomic>

namespace {
AudioOutput* g_audio = nullptr;
std::atomic<uint64_t> g_nextSerial{1};
}  // namespace

AudioOutput::AudioOutput(int sampleRate) : mixer_(sampleRate), serial_(g_nextSerial++) {}

AudioOutput::~AudioOutput() {
    // Never leave the game holding a dangling output.
    if (g_audio == this) {
        g_audio = nullptr;
    }
}

AudioOutput* Audio() {
    return g_audio;
}

void SetAudio(AudioOutput* output) {
    g_audio = output;
}

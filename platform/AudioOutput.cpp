#include "platform/AudioOutput.h"

#include <atomic>

#include "platform/AudioLock.h"

namespace {
AudioOutput* g_audio = nullptr;
std::atomic<uint64_t> g_nextSerial{1};
float g_music = 1.0f;
float g_effects = 1.0f;

void ApplyLevels(AudioOutput& output) {
    AudioLock lock(output);
    output.Mixer().SetGains(g_music, g_effects);
}
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
    if (output != nullptr) {
        ApplyLevels(*output);
    }
}

void SetAudioLevels(float music, float effects) {
    g_music = music;
    g_effects = effects;
    if (g_audio != nullptr) {
        ApplyLevels(*g_audio);
    }
}

float MusicLevel() {
    return g_music;
}

float EffectsLevel() {
    return g_effects;
}

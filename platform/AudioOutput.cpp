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

uint32_t AtMusicLevel(uint32_t msg) {
    const uint32_t velocity = (msg >> 16) & 0x7F;
    if ((msg & 0xF0) != 0x90 || velocity == 0 || g_music >= 1.0f) {
        return msg;
    }
    const auto scaled = static_cast<uint32_t>(static_cast<float>(velocity) * g_music + 0.5f);
    return (msg & 0xFFFFu) | ((scaled > 0 ? scaled : 0u) << 16);
}

float EffectsLevel() {
    return g_effects;
}

#include "platform/linux/AudioOutputSdl.h"

#include <SDL.h>

#include <cstdio>

namespace {
constexpr int kWantedRate = 48000;
constexpr int kCallbackFrames = 1024;  // about 21 ms: short enough for the effects
}  // namespace

std::unique_ptr<AudioOutputSdl> AudioOutputSdl::Open() {
    std::unique_ptr<AudioOutputSdl> output(new AudioOutputSdl());
    if (!output->OpenDevice()) {
        std::fprintf(stderr, "quorvax: no sound device, playing silently: %s\n", SDL_GetError());
        return nullptr;
    }
    return output;
}

AudioOutputSdl::AudioOutputSdl() : AudioOutput(kWantedRate) {}

bool AudioOutputSdl::OpenDevice() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    subsystem_ = true;
    SDL_AudioSpec want{};
    want.freq = kWantedRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kCallbackFrames;
    want.callback = &AudioOutputSdl::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // Only the rate may differ from what is asked; SDL converts anything else.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device_ == 0) {
        return false;
    }
    // The device starts paused, so the mixer learns the real rate before the first pull.
    SetSampleRate(have.freq);
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

AudioOutputSdl::~AudioOutputSdl() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
    }
    if (subsystem_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void AudioOutputSdl::Lock() {
    SDL_LockAudioDevice(device_);
}

void AudioOutputSdl::Unlock() {
    SDL_UnlockAudioDevice(device_);
}

void AudioOutputSdl::Callback(void* self, uint8_t* stream, int len) {
    auto* output = static_cast<AudioOutputSdl*>(self);
    const int frames = len / static_cast<int>(2 * sizeof(float));
    output->Mixer().Render(reinterpret_cast<float*>(stream), frames);
}

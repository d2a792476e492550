#include "platform/AudioMixer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/MidiSynth.h"

AudioMixer::AudioMixer(int sampleRate) : sampleRate_(sampleRate) {}

AudioMixer::~AudioMixer() = default;

void AudioMixer::Render(float* out, int frames) {
    if (frames <= 0) {
        return;
    }
    const size_t count = static_cast<size_t>(frames) * 2;
    if (synth_) {
        synth_->Render(out, frames);
        if (musicGain_ == 0.0f) {
            std::memset(out, 0, count * sizeof(float));  // plain silence, no -0
        } else if (musicGain_ != 1.0f) {
            for (size_t i = 0; i < count; ++i) {
                out[i] *= musicGain_;
            }
        }
    } else {
        std::memset(out, 0, count * sizeof(float));
    }
    if (!EffectPlaying()) {
        return;
    }
    const size_t n = std::min(static_cast<size_t>(frames), effect_->Frames() - effectPos_);
    const float* src = effect_->samples.data() + effectPos_ * 2;
    for (size_t i = 0; i < n * 2; ++i) {
        out[i] = std::clamp(out[i] + src[i] * effectsGain_, -1.0f, 1.0f);
    }
    effectPos_ += n;
}

void AudioMixer::PlayEffect(std::shared_ptr<const AudioClip> clip) {
    // The old clip is released here, on the caller's thread, never in the callback.
    effect_ = std::move(clip);
    effectPos_ = 0;
}

void AudioMixer::SetPendingSynth(std::future<std::unique_ptr<MidiSynth>> pending) {
    pendingSynth_ = std::move(pending);
}

std::unique_ptr<MidiSynth> AudioMixer::TakePendingSynth() {
    return pendingSynth_.get();
}

void AudioMixer::SetSynth(std::unique_ptr<MidiSynth> synth) {
    synth_ = std::move(synth);
}

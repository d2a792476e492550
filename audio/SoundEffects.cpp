#include "audio/SoundEffects.h"

#include <cstdio>
#include <utility>

#include "game/Game.h"
#include "platform/AudioLock.h"
#include "platform/AudioOutput.h"

namespace {
const char* const kSoundFiles[SoundEffects::kSoundKinds] = {"bomb.wav", "death.wav", "over.wav"};
}  // namespace

SoundEffects::SoundEffects(std::string directory) : directory_(std::move(directory)) {}

int SoundEffects::Play(int kind) {
    if (kind < 1 || kind > kSoundKinds) {
        return 0;
    }
    Sound& sound = sounds_[kind - 1];
    const std::string path =
        directory_.empty() ? kSoundFiles[kind - 1] : directory_ + "/" + kSoundFiles[kind - 1];
    AudioOutput* output = Audio();
    if (output != nullptr && output->PlaysFiles()) {
        // Such a device plays at its own level: silenced effects are not started.
        return EffectsLevel() > 0.0f && output->PlayFile(path) ? 1 : 0;
    }
    if (!sound.read) {
        sound.read = true;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        sound.ok = file != nullptr && sound.wave.Read(file);
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    if (!sound.ok || output == nullptr) {
        return 0;
    }
    if (!sound.clip || sound.clip->sampleRate != output->SampleRate()) {
        sound.clip = std::make_shared<const AudioClip>(sound.wave.ToClip(output->SampleRate()));
    }
    AudioLock lock(*output);
    output->Mixer().PlayEffect(sound.clip);
    return 1;
}

int Game::PlaySound(int kind) {
    // One set of sounds for the whole run, each file read at its first use.
    static SoundEffects effects;
    return effects.Play(kind);
}

#pragma once

#include <memory>
#include <string>

#include "audio/WaveFile.h"
#include "platform/AudioClip.h"

// The game's three short sounds on the mixer's one effects voice. Each file
// is read once, at its first use, and converted to the device's format.
class SoundEffects {
  public:
    static constexpr int kSoundKinds = 3;

    // Files are looked for in directory ("" is the working directory).
    explicit SoundEffects(std::string directory = "");

    // Game::PlaySound: kind 1 "bomb.wav", 2 "death.wav", 3 "over.wav" starts
    // at once and cuts off the sound still playing; the music goes on. Any
    // other kind, a missing or unplayable file, or no audio output plays
    // nothing and says nothing. 1 when a sound started, else 0.
    int Play(int kind);

  private:
    struct Sound {
        bool read = false;
        bool ok = false;
        WaveFile wave;
        std::shared_ptr<const AudioClip> clip;  // for the current device rate
    };

    std::string directory_;
    Sound sounds_[kSoundKinds];
};

#pragma once

#include <cstdint>

#include "platform/Dialog.h"

// The background music's hidden window. (Stand-in until the music is built:
// it plays nothing.)
class MusicPlayer : public Dialog {
  public:
    MusicPlayer();
    // Once from Game::Init after the window exists: (re)starts the song.
    void Start();
    void Stop();

    uintptr_t midiOut = 0;
    uint32_t songLengthMs = 0;
    uint32_t startTick = 0;
    unsigned pollTimerId = 0;
};

#pragma once

#include <memory>
#include <string>

#include "platform/AudioOutput.h"

// The page's Web Audio: the effects play as the browser's own buffers, one
// at a time as on the mixer's one effects voice, and the song is the
// recording made of it at build time (WebSong, played by MidiSynth). The
// page starts the sound at the player's first key or click, as browsers ask.
class AudioOutputWeb : public AudioOutput {
  public:
    // main_web, once: null when the browser has no Web Audio (the game then
    // runs silently).
    static std::unique_ptr<AudioOutputWeb> Open();

    // One thread: nothing to keep out.
    void Lock() override {}
    void Unlock() override {}

    bool PlaysFiles() const override { return true; }
    // Game::PlaySound: starts the effect's file (from the game's files),
    // cutting off the one still playing.
    bool PlayFile(const std::string& path) override;

  private:
    AudioOutputWeb();
};

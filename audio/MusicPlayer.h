#pragma once

#include <cstdint>

#include "platform/Dialog.h"
#include "platform/MidiControl.h"
#include "platform/MidiOut.h"

// The background music's hidden window (dialog 129): attaches "SONAT_A1.MID"
// to its MIDI file player, plays it through the MIDI mapper and restarts it
// from the beginning once a second poll finds its length has passed.
class MusicPlayer : public Dialog {
  public:
    MusicPlayer();
    // Closes the MIDI output still open; the song stops with its player.
    ~MusicPlayer() override;

    // Game::Init, right after Create, and the poll: (re)starts the song from
    // its beginning through a freshly opened MIDI output.
    void Start();
    // DestroyWindow: stops the song, closes the output, ends the poll.
    void Stop();

    // While Game::Init creates the window: attaches the song; "Error = %d"
    // when it cannot.
    bool OnInitDialog() override;
    // The one-second poll (timer 1).
    void OnTimer(unsigned id) override;
    // Stop, then the window goes.
    void DestroyWindow() override;

    const MidiControl& Control() const { return control_; }

    HMIDIOUT midiOut = 0;
    uint32_t songLengthMs = 0;
    uint32_t startTick = 0;
    unsigned pollTimerId = 0;

  private:
    MidiControl control_;
    // A machine without MIDI output says so once, not at every restart.
    bool mapperErrorShown_ = false;
};

#pragma once

#include <cstdint>
#include <memory>

#include "platform/MidiOut.h"
#include "platform/MidiPlayingStatus.h"
#include "platform/MidiSong.h"

// The MIDI file player that MusicPlayer hosts (control 1000 of its window):
// attaches a Standard MIDI File, reports its length, and starts and stops it
// through an open MIDI output. Called on the user-interface thread.
class MidiControl {
  public:
    MidiControl() = default;
    // Stops a song still playing, as the control's window going away does.
    ~MidiControl();
    MidiControl(const MidiControl&) = delete;
    MidiControl& operator=(const MidiControl&) = delete;

    // MusicPlayer::OnInitDialog: reads the song (relative names from the
    // working directory). 0 when attached, else a negative MidiFile code.
    int ConnectDataFile(const char* path);
    // MusicPlayer::Start: where the next play begins, in milliseconds.
    int SetStartPosition(int32_t positionMs);
    // MusicPlayer::Start: the attached song's length in milliseconds; 0 for none.
    uint32_t GetTimeLength() const;
    // MusicPlayer::Start and Stop: play = 1 starts the song at the set
    // position through the output handle given (nothing without one);
    // play = 0 stops it. 0, or -1 when there was nothing to start.
    int SetPlayingStatus(PlayingStatus status);

    bool HasSong() const { return song_ != nullptr; }

  private:
    void StopPlaying();

    std::shared_ptr<const MidiSong> song_;
    uint32_t startMs_ = 0;
    HMIDIOUT playingOn_ = 0;
};

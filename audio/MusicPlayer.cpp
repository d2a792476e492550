#include "audio/MusicPlayer.h"

#include <cstdio>

#include "platform/Platform.h"
#include "res/Resources.h"

namespace {
constexpr const char* kSongFile = "SONAT_A1.MID";
constexpr unsigned kPollTimer = 1;
constexpr unsigned kPollMs = 1000;
}  // namespace

MusicPlayer::MusicPlayer() : Dialog(kMusicPlayerDialog) {}

MusicPlayer::~MusicPlayer() {
    if (midiOut != 0) {
        midiOutClose(midiOut);
        midiOut = 0;
    }
}

bool MusicPlayer::OnInitDialog() {
    Dialog::OnInitDialog();
    midiOut = 0;
    const int result = control_.ConnectDataFile(kSongFile);
    if (result < 0) {
        char text[32];
        std::snprintf(text, sizeof text, "Error = %d", result);
        MessageBox(text, Sys().ProgramName().c_str());
    }
    return true;
}

void MusicPlayer::Start() {
    control_.SetStartPosition(0);
    songLengthMs = control_.GetTimeLength();
    if (midiOut != 0) {
        midiOutClose(midiOut);
        midiOut = 0;
    }
    if (midiOutOpen(&midiOut, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        if (!mapperErrorShown_) {
            mapperErrorShown_ = true;
            MessageBox("Error opening Mapper", Sys().ProgramName().c_str());
        }
        midiOut = 0;
    }
    const uint32_t now = GetTickCount();
    PlayingStatus status;
    status.startTick = now;
    status.lengthMs = songLengthMs;
    status.play = 1;
    status.output = midiOut;
    control_.SetPlayingStatus(status);
    startTick = now;
    pollTimerId = SetTimer(kPollTimer, kPollMs);
}

void MusicPlayer::OnTimer(unsigned id) {
    // Unsigned difference: the tick count's wrap-around does no harm. A song
    // of no length has nothing to restart.
    if (songLengthMs > 0 && GetTickCount() - startTick > songLengthMs) {
        Start();
    }
    Dialog::OnTimer(id);
}

void MusicPlayer::Stop() {
    PlayingStatus status;
    status.startTick = GetTickCount();
    control_.SetPlayingStatus(status);
    if (midiOut != 0) {
        midiOutClose(midiOut);
        midiOut = 0;
    }
    KillTimer(pollTimerId);
}

void MusicPlayer::DestroyWindow() {
    Stop();
    Dialog::DestroyWindow();
}

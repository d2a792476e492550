#include "platform/MidiControl.h"

#include <cstdio>

#include "platform/AudioLock.h"
#include "platform/AudioOutput.h"
#include "platform/MidiFile.h"
#include "platform/MidiSynth.h"

MidiControl::~MidiControl() {
    StopPlaying();
}

int MidiControl::ConnectDataFile(const char* path) {
    song_.reset();
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return MidiFile::kErrCannotOpen;
    }
    auto song = std::make_shared<MidiSong>();
    const int result = MidiFile::Read(file, *song);
    std::fclose(file);
    if (result < 0) {
        return result;
    }
    song_ = std::move(song);
    return 0;
}

int MidiControl::SetStartPosition(int32_t positionMs) {
    startMs_ = positionMs > 0 ? static_cast<uint32_t>(positionMs) : 0;
    return 0;
}

uint32_t MidiControl::GetTimeLength() const {
    return song_ ? song_->LengthMs() : 0;
}

int MidiControl::SetPlayingStatus(PlayingStatus status) {
    if (status.play == 0) {
        StopPlaying();
        return 0;
    }
    StopPlaying();
    MidiSynth* synth = MidiOutSynth(status.output);
    if (synth == nullptr || !song_) {
        return -1;
    }
    AudioLock lock(*Audio());
    synth->Play(song_, uint64_t{startMs_} * 1000, status.output);
    playingOn_ = status.output;
    return 0;
}

void MidiControl::StopPlaying() {
    MidiSynth* synth = MidiOutSynth(playingOn_);
    if (synth != nullptr && synth->PlayingHandle() == playingOn_) {
        AudioLock lock(*Audio());
        synth->Stop();
    }
    playingOn_ = 0;
}

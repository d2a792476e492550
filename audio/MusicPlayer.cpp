#include "audio/MusicPlayer.h"

#include "res/Resources.h"

MusicPlayer::MusicPlayer() : Dialog(kMusicPlayerDialog) {}

void MusicPlayer::Start() {}

void MusicPlayer::Stop() {}

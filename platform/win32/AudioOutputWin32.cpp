#include "platform/win32/AudioOutputWin32.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>
// <mmsystem.h> needs <windows.h> first.
#include <mmsystem.h>

namespace {
// Nothing is mixed here; the rate only has to be a valid one.
constexpr int kNominalRate = 44100;
}  // namespace

AudioOutputWin32::AudioOutputWin32() : AudioOutput(kNominalRate) {}

AudioOutputWin32::~AudioOutputWin32() {
    PlaySoundA(nullptr, nullptr, 0);  // no effect outlives the game
}

bool AudioOutputWin32::PlayFile(const std::string& path) {
    // From the file only: no alias lookup and no default sound for a missing one.
    return PlaySoundA(path.c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT) != FALSE;
}

#include "platform/win32/WinMidi.h"

#include "platform/AudioOutput.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>
// <mmsystem.h> needs <windows.h> first.
#include <mmsystem.h>

namespace {

constexpr int kChannels = 16;

uint32_t Message(int status, int data1, int data2) {
    return static_cast<uint32_t>(status | data1 << 8 | data2 << 16);
}

}  // namespace

uint32_t WinMidiOpen(uint32_t deviceId, uintptr_t& device) {
    HMIDIOUT out = nullptr;
    const MMRESULT r = midiOutOpen(&out, deviceId, 0, 0, CALLBACK_NULL);
    device = r == MMSYSERR_NOERROR ? reinterpret_cast<uintptr_t>(out) : 0;
    return r;
}

void WinMidiSend(uintptr_t device, uint32_t shortMessage) {
    if (device != 0) {
        // winmm's own synthesiser is out of the mixer: the music level goes in the notes.
        midiOutShortMsg(reinterpret_cast<HMIDIOUT>(device), AtMusicLevel(shortMessage));
    }
}

void WinMidiResetChannels(uintptr_t device) {
    for (int ch = 0; ch < kChannels; ++ch) {
        WinMidiSend(device, Message(0xB0 | ch, 121, 0));  // reset all controllers
        WinMidiSend(device, Message(0xB0 | ch, 0, 0));
        WinMidiSend(device, Message(0xB0 | ch, 32, 0));
        WinMidiSend(device, Message(0xC0 | ch, 0, 0));
        WinMidiSend(device, Message(0xB0 | ch, 7, 100));
        WinMidiSend(device, Message(0xB0 | ch, 10, 64));
        WinMidiSend(device, Message(0xB0 | ch, 11, 127));
        WinMidiSend(device, Message(0xE0 | ch, 0, 64));  // pitch bend centred
    }
}

void WinMidiSilence(uintptr_t device) {
    for (int ch = 0; ch < kChannels; ++ch) {
        WinMidiSend(device, Message(0xB0 | ch, 64, 0));   // a held pedal would keep notes on
        WinMidiSend(device, Message(0xB0 | ch, 123, 0));  // all notes off
    }
}

void WinMidiClose(uintptr_t device) {
    if (device != 0) {
        midiOutReset(reinterpret_cast<HMIDIOUT>(device));
        midiOutClose(reinterpret_cast<HMIDIOUT>(device));
    }
}

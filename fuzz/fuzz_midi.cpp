// The MIDI file reader over a memory stream and the song's time length.
#include <cstddef>
#include <cstdint>

#include "image/FileStream.h"
#include "platform/MidiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FileStream stream;
    if (!stream.OpenMemory(data, size)) {
        return 0;
    }
    MidiSong song;
    if (MidiFile::Read(stream.Get(), song) == MidiFile::kOk) {
        volatile uint32_t ms = song.LengthMs();
        (void)ms;
        // Events come in time order, within the song.
        uint64_t last = 0;
        for (const MidiEvent& e : song.events) {
            if (e.timeUs < last || e.status < 0x80 || e.status > 0xEF) {
                __builtin_trap();
            }
            last = e.timeUs;
        }
    }
    return 0;
}

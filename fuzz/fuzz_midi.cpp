// The MIDI file reader over a memory stream, the song's time length, and a
// few seconds of the song played by the sequencer at virtual time. The
// synthesiser needs a SoundFont, so a sink that checks and counts the
// messages stands in for it.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "image/FileStream.h"
#include "platform/MidiFile.h"
#include "platform/MidiSequencer.h"
#include "platform/MidiSink.h"

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 64;             // the synthesiser's block
constexpr int kCallbackFrames = 1024;  // one audio callback
constexpr int kSecondsPlayed = 3;

class CheckingSink final : public MidiSink {
  public:
    void Send(const MidiEvent& e) override {
        if (e.status < 0x80 || e.status > 0xEF || e.data1 > 0x7F || e.data2 > 0x7F) {
            __builtin_trap();
        }
        ++sent;
    }
    void Render(float* out, int frames) override {
        if (frames < 0 || frames > kCallbackFrames) {
            __builtin_trap();
        }
        if (frames > 0) {
            out[0] = 0.0f;
            out[2 * frames - 1] = 0.0f;
        }
    }
    size_t sent = 0;
};

// Plays the song from fromUs for kSecondsPlayed; never sends more than it has.
void Play(const std::shared_ptr<const MidiSong>& song, uint64_t fromUs) {
    MidiSequencer sequencer(kRate, kBlock);
    CheckingSink sink;
    float out[2 * kCallbackFrames];
    sequencer.Start(song, fromUs);
    for (int done = 0; done < kRate * kSecondsPlayed; done += kCallbackFrames) {
        sequencer.Render(sink, out, kCallbackFrames);
    }
    if (sink.sent > song->events.size()) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FileStream stream;
    if (!stream.OpenMemory(data, size)) {
        return 0;
    }
    auto song = std::make_shared<MidiSong>();
    if (MidiFile::Read(stream.Get(), *song) != MidiFile::kOk) {
        return 0;
    }
    volatile uint32_t ms = song->LengthMs();
    (void)ms;
    // Events come in time order, within the song.
    uint64_t last = 0;
    for (const MidiEvent& e : song->events) {
        if (e.timeUs < last || e.timeUs > song->lengthUs || e.status < 0x80 || e.status > 0xEF) {
            __builtin_trap();
        }
        last = e.timeUs;
    }
    // From the start, and from the middle as a restart at a set position does.
    Play(song, 0);
    Play(song, song->lengthUs / 2);
    return 0;
}

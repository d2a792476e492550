#include <gtest/gtest.h>

#include <cstdio>

#include "image/FileStream.h"
#include "midi_test_files.h"
#include "platform/MidiFile.h"

namespace {

int Parse(const std::vector<uint8_t>& bytes, MidiSong& song) {
    return MidiFile::Parse(bytes.data(), bytes.size(), song);
}

}  // namespace

TEST(MidiFile, LengthOfOneTempoSong) {
    // 960 ticks at 480 per quarter and the default 120 bpm: two quarters, one second.
    SmfTrack t;
    t.At(0, {0x90, 60, 100}).At(480, {0x80, 60, 0}).End(480);
    MidiSong song;
    ASSERT_EQ(Parse(Smf(0, 480, {t}), song), MidiFile::kOk);
    EXPECT_EQ(song.LengthMs(), 1000u);
    ASSERT_EQ(song.events.size(), 2u);
    EXPECT_EQ(song.events[1].timeUs, 500000u);
}

TEST(MidiFile, LengthThroughEveryTempoChange) {
    // 96 ticks per quarter: 192 ticks at 0.5 s/q = 1000 ms, 96 at 0.25 s/q =
    // 250 ms, 96 at 1 s/q = 1000 ms, 48 at 0.1 s/q = 50 ms: 2300 ms.
    SmfTrack t;
    t.Tempo(0, 500000).At(0, {0x90, 60, 100}).Tempo(192, 250000).Tempo(96, 1000000);
    t.At(0, {0x90, 64, 100}).Tempo(96, 100000).End(48);
    MidiSong song;
    ASSERT_EQ(Parse(Smf(0, 96, {t}), song), MidiFile::kOk);
    EXPECT_EQ(song.LengthMs(), 2300u);
    ASSERT_EQ(song.events.size(), 2u);
    EXPECT_EQ(song.events[1].timeUs, 1250000u);
}

TEST(MidiFile, SeveralTracksWithRunningStatusMergeInTimeOrder) {
    // Track 0 holds the tempo map: 600 ms per quarter, then 300 ms from tick 960.
    SmfTrack conductor;
    conductor.Tempo(0, 600000).Tempo(960, 300000).End(0);
    // Track 1 plays notes with running status and note-on velocity 0 as off.
    SmfTrack melody;
    melody.At(0, {0xC0, 5}).At(0, {0x90, 60, 90}).At(480, {60, 0}).At(0, {62, 90});
    melody.At(720, {62, 0}).At(0, {0xE0, 0x00, 0x50}).End(240);  // ends at tick 1440
    // Track 2 is longer than its notes but shorter than track 1.
    SmfTrack bass;
    bass.At(100, {0x91, 36, 80}).At(1100, {0x81, 36, 0}).End(0);  // ends at tick 1200
    MidiSong song;
    ASSERT_EQ(Parse(Smf(1, 480, {conductor, melody, bass}), song), MidiFile::kOk);
    // 960 ticks at 600 ms/q = 1200 ms, 480 ticks at 300 ms/q = 300 ms.
    EXPECT_EQ(song.LengthMs(), 1500u);
    ASSERT_EQ(song.events.size(), 8u);
    // Tick 100 at 1250 us per tick; tick 1200 is 240 ticks at 625 us past tick 960.
    const uint64_t expectUs[] = {0, 0, 125000, 600000, 600000, 1350000, 1350000, 1350000};
    const uint8_t expectStatus[] = {0xC0, 0x90, 0x91, 0x90, 0x90, 0x90, 0xE0, 0x81};
    const uint8_t expectData1[] = {5, 60, 36, 60, 62, 62, 0x00, 36};
    for (size_t i = 0; i < song.events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(song.events[i].timeUs, expectUs[i]);
        EXPECT_EQ(song.events[i].status, expectStatus[i]);
        EXPECT_EQ(song.events[i].data1, expectData1[i]);
    }
    EXPECT_EQ(song.events[6].data2, 0x50);
}

TEST(MidiFile, SysExAndMetaEventsAreSkippedButKeepTime) {
    SmfTrack t;
    t.At(0, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7});  // GM on
    t.At(10, {0xFF, 0x01, 0x03, 'a', 'b', 'c'});          // text
    t.At(10, {0xF7, 0x02, 0x01, 0x02});                   // escaped bytes
    t.At(10, {0x90, 60, 100}).At(10, {0xFF, 0x06, 0x00}).End(10);
    MidiSong song;
    ASSERT_EQ(Parse(Smf(0, 100, {t}), song), MidiFile::kOk);
    ASSERT_EQ(song.events.size(), 1u);
    EXPECT_EQ(song.events[0].timeUs, 150000u);  // 30 ticks at 5 ms
    EXPECT_EQ(song.LengthMs(), 250u);
}

TEST(MidiFile, SmpteTimeIgnoresTempo) {
    // 25 frames of 40 ticks: one tick per millisecond whatever the tempo says.
    SmfTrack t;
    t.Tempo(0, 1000000).At(1000, {0x90, 60, 1}).End(1500);
    MidiSong song;
    ASSERT_EQ(Parse(Smf(0, uint16_t((0x100 - 25) << 8 | 40), {t}), song), MidiFile::kOk);
    EXPECT_EQ(song.events[0].timeUs, 1000000u);
    EXPECT_EQ(song.LengthMs(), 2500u);
}

TEST(MidiFile, RefusesWhatIsNoPlayableSong) {
    SmfTrack t;
    t.End(0);
    MidiSong song;
    EXPECT_EQ(Parse({}, song), MidiFile::kErrNotMidi);
    EXPECT_EQ(Parse({'R', 'I', 'F', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, song),
              MidiFile::kErrNotMidi);
    std::vector<uint8_t> header = Smf(0, 96, {t});
    EXPECT_EQ(Parse({header.begin(), header.begin() + 13}, song), MidiFile::kErrNotMidi);
    EXPECT_EQ(Parse(Smf(2, 96, {t}), song), MidiFile::kErrUnsupported);
    EXPECT_EQ(Parse(Smf(0, 0, {t}), song), MidiFile::kErrUnsupported);
    EXPECT_EQ(Parse(Smf(0, 0xE900 | 40, {t}), song), MidiFile::kErrUnsupported);  // 23 fps
    EXPECT_EQ(Parse(Smf(0, 96, {}), song), MidiFile::kErrNoTracks);
    EXPECT_EQ(Parse(Smf(1, 96, {t}, MidiFile::kMaxMidiTracks + 1), song), MidiFile::kErrTooLarge);
    std::vector<uint8_t> longHeader = Smf(0, 96, {t});
    longHeader[7] = 0xFF;  // header length past the end of the file
    EXPECT_EQ(Parse(longHeader, song), MidiFile::kErrUnsupported);
    EXPECT_TRUE(song.events.empty());
}

TEST(MidiFile, AbsurdLengthsAreRefused) {
    // Maximal deltas at the slowest tempo: weeks of silence.
    SmfTrack t;
    t.Tempo(0, 0xFFFFFF);
    for (int i = 0; i < 8; ++i) {
        t.At(0x0FFFFFFF, {0x90, 60, 1});
    }
    t.End(0);
    MidiSong song;
    EXPECT_EQ(Parse(Smf(0, 1, {t}), song), MidiFile::kErrTooLarge);

    SmfTrack many;
    for (size_t i = 0; i <= MidiFile::kMaxMidiEvents; ++i) {
        many.At(0, {0xB0, 1, 0});
    }
    EXPECT_EQ(Parse(Smf(0, 96, {many}), song), MidiFile::kErrTooLarge);
}

TEST(MidiFile, DamagedTracksPlayUpToTheDamage) {
    SmfTrack good;
    good.At(0, {0x90, 60, 100}).At(96, {0x80, 60, 0}).At(96, {0x90, 62, 100});
    good.At(96, {0x80, 62, 0}).End(96);
    const std::vector<uint8_t> whole = Smf(0, 96, {good});
    MidiSong full;
    ASSERT_EQ(Parse(whole, full), MidiFile::kOk);
    EXPECT_EQ(full.LengthMs(), 2000u);

    // Cut inside the third event: the chunk says more than is there.
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + 22 + 4 + 4 + 2);
    MidiSong song;
    ASSERT_EQ(Parse(cut, song), MidiFile::kOk);
    EXPECT_EQ(song.events.size(), 2u);
    EXPECT_EQ(song.LengthMs(), 500u);  // ends with its last whole event

    // No end marker: the track ends with its chunk.
    SmfTrack endless;
    endless.At(0, {0x90, 60, 100}).At(192, {0x80, 60, 0});
    ASSERT_EQ(Parse(Smf(0, 96, {endless}), song), MidiFile::kOk);
    EXPECT_EQ(song.LengthMs(), 1000u);

    // A chunk length far past the end of the file.
    std::vector<uint8_t> absurd = whole;
    absurd[18] = absurd[19] = absurd[20] = absurd[21] = 0xFF;
    ASSERT_EQ(Parse(absurd, song), MidiFile::kOk);
    EXPECT_EQ(song.events.size(), 4u);

    // A data byte with no status to run on, a system message, a five-byte delta.
    SmfTrack noStatus;
    noStatus.At(0, {60, 100}).End(0);
    ASSERT_EQ(Parse(Smf(0, 96, {noStatus}), song), MidiFile::kOk);
    EXPECT_TRUE(song.events.empty());
    SmfTrack system;
    system.At(0, {0x90, 60, 100}).At(0, {0xF8}).At(96, {0x80, 60, 0}).End(0);
    ASSERT_EQ(Parse(Smf(0, 96, {system}), song), MidiFile::kOk);
    EXPECT_EQ(song.events.size(), 1u);
    SmfTrack longDelta;
    longDelta.At(0, {0x90, 60, 100});
    longDelta.data.insert(longDelta.data.end(), {0x81, 0x80, 0x80, 0x80, 0x00, 0x80, 60, 0});
    ASSERT_EQ(Parse(Smf(0, 96, {longDelta}), song), MidiFile::kOk);
    EXPECT_EQ(song.events.size(), 1u);

    // Fewer tracks than the header promises.
    SmfTrack second = good;
    std::vector<uint8_t> missing = Smf(1, 96, {good, second}, 5);
    ASSERT_EQ(Parse(missing, song), MidiFile::kOk);
    EXPECT_EQ(song.events.size(), 8u);
}

TEST(MidiFile, EveryPrefixOfAFileIsSafe) {
    SmfTrack conductor;
    conductor.Tempo(0, 400000).At(5, {0xFF, 0x03, 0x02, 'x', 'y'}).Tempo(300, 700000).End(0);
    SmfTrack notes;
    notes.At(0, {0xF0, 0x03, 1, 2, 0xF7}).At(0, {0x90, 60, 100}).At(100, {64, 90});
    notes.At(100, {0xB0, 7, 100}).At(100, {0xE0, 0, 64}).At(100, {0x80, 60, 0}).End(50);
    const std::vector<uint8_t> whole = Smf(1, 120, {conductor, notes});
    MidiSong full;
    ASSERT_EQ(Parse(whole, full), MidiFile::kOk);
    for (size_t n = 0; n < whole.size(); ++n) {
        MidiSong song;
        const int r = MidiFile::Parse(whole.data(), n, song);
        ASSERT_LE(r, 0);
        EXPECT_LE(song.events.size(), full.events.size());
        EXPECT_LE(song.lengthUs, full.lengthUs);
    }
}

TEST(MidiFile, ReadsFromAStream) {
    SmfTrack t;
    t.At(0, {0x90, 60, 100}).End(480);
    std::vector<uint8_t> bytes = Smf(0, 480, {t});
    FileStream f;
    ASSERT_TRUE(f.OpenMemory(bytes.data(), bytes.size()));
    MidiSong song;
    EXPECT_EQ(MidiFile::Read(f.Get(), song), MidiFile::kOk);
    f.Close();
    EXPECT_EQ(song.LengthMs(), 500u);
    EXPECT_EQ(MidiFile::Read(nullptr, song), MidiFile::kErrCannotOpen);
}

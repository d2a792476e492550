#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/MidiSequencer.h"
#include "platform/MidiSink.h"

namespace {

// Records at which sample of its own clock every message arrives, and
// checks that rendering is only ever split where the sequencer must.
class RecordingSink : public MidiSink {
  public:
    void Send(const MidiEvent& e) override { sent.push_back({clock, e}); }
    void Render(float* out, int frames) override {
        for (int i = 0; i < frames * 2; ++i) {
            out[i] = 0.0f;
        }
        clock += static_cast<uint64_t>(frames);
    }
    struct Sent {
        uint64_t sample;
        MidiEvent event;
    };
    std::vector<Sent> sent;
    uint64_t clock = 0;
};

std::shared_ptr<MidiSong> SongAt(std::initializer_list<uint64_t> timesUs) {
    auto song = std::make_shared<MidiSong>();
    uint8_t key = 40;
    for (uint64_t t : timesUs) {
        song->events.push_back({t, 0x90, key++, 100});
    }
    song->lengthUs = song->events.empty() ? 0 : song->events.back().timeUs;
    return song;
}

void RenderFor(MidiSequencer& seq, MidiSink& sink, int frames, int piece) {
    std::vector<float> buf(static_cast<size_t>(piece) * 2);
    for (int done = 0; done < frames; done += piece) {
        seq.Render(sink, buf.data(), std::min(piece, frames - done));
    }
}

}  // namespace

TEST(MidiSequencer, EventsArriveAtTheirExactSampleWithASampleAccurateSink) {
    MidiSequencer seq(44100, 1);
    RecordingSink sink;
    seq.Start(SongAt({0, 1000, 22676, 500000, 1000000}), 0);
    RenderFor(seq, sink, 50000, 1024);
    const uint64_t expect[] = {0, 44, 1000, 22050, 44100};  // us * 44100 / 1e6, rounded
    ASSERT_EQ(sink.sent.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(sink.sent[i].sample, expect[i]) << i;
    }
}

TEST(MidiSequencer, BlockSinkGetsEachEventAtTheNearestBlockBoundary) {
    // Whatever the callback size, an event is off by at most half a block.
    for (int piece : {1024, 441, 64, 1, 4096}) {
        SCOPED_TRACE(piece);
        MidiSequencer seq(48000, 64);
        RecordingSink sink;
        RenderFor(seq, sink, 100, piece);  // the song starts mid-block
        seq.Start(SongAt({0, 650, 700, 10000, 123456, 999999}), 0);
        RenderFor(seq, sink, 60000, piece);
        ASSERT_EQ(sink.sent.size(), 6u);
        const uint64_t origin = sink.sent[0].sample;
        EXPECT_EQ(origin % 64, 0u);
        EXPECT_GE(origin, 100u);
        EXPECT_LT(origin, 100u + 64u);
        for (const auto& s : sink.sent) {
            const int64_t exact = static_cast<int64_t>(origin + (s.event.timeUs * 48 + 500) / 1000);
            EXPECT_EQ(s.sample % 64, 0u);
            EXPECT_LE(std::llabs(static_cast<int64_t>(s.sample) - exact), 32);
        }
    }
}

TEST(MidiSequencer, StartsFromAPositionWithTheSettingsBeforeIt) {
    auto song = std::make_shared<MidiSong>();
    song->events = {{0, 0xC0, 12, 0},
                    {0, 0x90, 60, 100},
                    {100000, 0xB0, 7, 80},
                    {200000, 0x80, 60, 0},
                    {300000, 0x90, 62, 100}};
    MidiSequencer seq(10000, 1);
    RecordingSink sink;
    seq.Start(song, 250000);
    RenderFor(seq, sink, 1000, 100);
    ASSERT_EQ(sink.sent.size(), 3u);
    EXPECT_EQ(sink.sent[0].event.status, 0xC0);
    EXPECT_EQ(sink.sent[1].event.status, 0xB0);
    EXPECT_EQ(sink.sent[0].sample, 0u);
    EXPECT_EQ(sink.sent[2].event.data1, 62);
    EXPECT_EQ(sink.sent[2].sample, 500u);  // 50 ms after the position
}

TEST(MidiSequencer, StopSendsNothingMoreAndRestartBeginsAgain) {
    MidiSequencer seq(1000, 1);
    RecordingSink sink;
    auto song = SongAt({0, 100000, 200000});
    seq.Start(song, 0);
    RenderFor(seq, sink, 150, 10);
    EXPECT_EQ(sink.sent.size(), 2u);
    seq.Stop();
    EXPECT_FALSE(seq.Playing());
    RenderFor(seq, sink, 500, 10);
    EXPECT_EQ(sink.sent.size(), 2u);
    seq.Start(song, 0);
    RenderFor(seq, sink, 500, 10);
    ASSERT_EQ(sink.sent.size(), 5u);
    EXPECT_EQ(sink.sent[2].sample, 650u);
    EXPECT_EQ(sink.sent[4].sample, 850u);
}

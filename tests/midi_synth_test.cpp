#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "midi_test_files.h"
#include "platform/MidiControl.h"
#include "platform/MidiFile.h"
#include "platform/MidiOut.h"
#include "platform/MidiSynth.h"
#include "platform/linux/MidiSoundFont.h"
#include "platform/virtual/AudioOutputMemory.h"

namespace {

// A file of the test's own, removed at the end.
class TempFile {
  public:
    explicit TempFile(const std::vector<uint8_t>& bytes) {
        char name[] = "/tmp/quorvax_midi_XXXXXX";
        const int fd = mkstemp(name);
        path = name;
        if (fd >= 0) {
            EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
            close(fd);
        }
    }
    ~TempFile() { unlink(path.c_str()); }
    std::string path;
};

// The mapper on an in-memory output, as MusicPlayer::Start opens it.
class SynthFixture : public ::testing::Test {
  protected:
    void Open(int rate) {
        output = std::make_unique<AudioOutputMemory>(rate);
        SetAudio(output.get());
        ASSERT_EQ(midiOutOpen(&handle, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
        ASSERT_NE(handle, 0u);
    }
    void TearDown() override {
        if (handle != 0) {
            midiOutClose(handle);
        }
        SetAudio(nullptr);
    }
    void Play(MidiControl& control) {
        PlayingStatus start;
        start.lengthMs = control.GetTimeLength();
        start.play = 1;
        start.output = handle;
        control.SetStartPosition(0);
        ASSERT_EQ(control.SetPlayingStatus(start), 0);
    }

    std::unique_ptr<AudioOutputMemory> output;
    HMIDIOUT handle = 0;
};

float Peak(const std::vector<float>& pcm) {
    float peak = 0.0f;
    for (float v : pcm) {
        peak = std::max(peak, std::fabs(v));
    }
    return peak;
}

// Renders song on a fresh output and synthesiser, started after lead frames.
// origin is the frame of the output at which the song's time 0 falls.
std::vector<float> RenderSong(int rate, std::shared_ptr<const MidiSong> song, int lead, int frames,
                              int64_t& origin) {
    AudioOutputMemory output(rate);
    SetAudio(&output);
    HMIDIOUT h = 0;
    EXPECT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    MidiSynth* synth = MidiOutSynth(h);
    EXPECT_NE(synth, nullptr);
    if (synth == nullptr) {
        return {};
    }
    output.Pull(lead);
    synth->Play(song, 0, h);
    origin = static_cast<int64_t>(synth->Sequencer().EventSample(MidiEvent{}));
    std::vector<float> pcm = output.Pull(lead + frames);
    midiOutClose(h);
    SetAudio(nullptr);
    pcm.insert(pcm.begin(), static_cast<size_t>(lead) * 2, 0.0f);
    return pcm;
}

// One second of a held chord on a fresh output at rate, the synthesiser
// preloaded on a worker thread or loaded at the open.
std::vector<float> RenderChord(int rate, bool preload) {
    AudioOutputMemory output(rate);
    SetAudio(&output);
    if (preload) {
        PreloadMidiSynth(output);
        PreloadMidiSynth(output);  // a second call starts no second load
    }
    HMIDIOUT h = 0;
    EXPECT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    MidiSynth* synth = MidiOutSynth(h);
    std::vector<float> pcm;
    if (synth != nullptr) {
        SmfTrack t;
        t.At(0, {0x90, 60, 110}).At(0, {0x90, 64, 100}).At(24, {0x90, 67, 90}).End(192);
        const std::vector<uint8_t> bytes = Smf(0, 96, {t});
        auto song = std::make_shared<MidiSong>();
        EXPECT_EQ(MidiFile::Parse(bytes.data(), bytes.size(), *song), MidiFile::kOk);
        synth->Play(song, 0, h);
        pcm = output.Pull(rate);
    }
    midiOutClose(h);
    SetAudio(nullptr);
    return pcm;
}

// How far from its time a note-on of the song first makes any difference
// to the sound: the song is rendered with and without it.
double OnsetErrorMs(int rate, const MidiSong& song, size_t noteIndex) {
    auto with = std::make_shared<MidiSong>(song);
    auto without = std::make_shared<MidiSong>(song);
    without->events.erase(without->events.begin() + static_cast<std::ptrdiff_t>(noteIndex));
    const uint64_t timeUs = song.events[noteIndex].timeUs;
    const int frames = static_cast<int>(timeUs * rate / 1000000) + rate / 10;
    int64_t origin = 0;
    const std::vector<float> a = RenderSong(rate, with, 333, frames, origin);
    const std::vector<float> b = RenderSong(rate, without, 333, frames, origin);
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) {
        ++i;
    }
    const double expected = static_cast<double>(origin) + static_cast<double>(timeUs) * rate / 1e6;
    return (static_cast<double>(i / 2) - expected) * 1000.0 / rate;
}

}  // namespace

TEST(MidiSynth, NotesSoundWithinAMillisecondOfTheirTime) {
    if (FindSoundFont().empty()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    // 96 ticks per quarter at 0.5 s: a note at 0 and notes whose times fall
    // on, near and halfway between the synthesiser's 64-frame blocks.
    SmfTrack t;
    t.At(0, {0xC0, 0}).At(0, {0x90, 72, 127}).At(40, {0x90, 76, 127}).At(7, {0x90, 79, 127});
    t.At(13, {0x90, 84, 110}).End(96);
    std::vector<uint8_t> bytes = Smf(0, 96, {t});
    MidiSong song;
    ASSERT_EQ(MidiFile::Parse(bytes.data(), bytes.size(), song), MidiFile::kOk);
    ASSERT_EQ(song.events.size(), 5u);
    EXPECT_EQ(song.events[2].timeUs, 208333u);  // tick 40 at 5208.33 us per tick
    EXPECT_EQ(song.events[3].timeUs, 244792u);
    EXPECT_EQ(song.events[4].timeUs, 312500u);
    for (int rate : {44100, 48000}) {
        for (size_t note = 1; note < song.events.size(); ++note) {
            const double error = OnsetErrorMs(rate, song, note);
            EXPECT_LE(std::fabs(error), 1.0) << rate << " Hz, note " << note;
        }
    }
}

TEST(MidiSynth, FirstNotesOfTheGamesSongStartOnTime) {
    MidiSong song;
    std::FILE* f = std::fopen("SONAT_A1.MID", "rb");
    if (f == nullptr) {
        GTEST_SKIP() << "the game's song has not been made";
    }
    ASSERT_EQ(MidiFile::Read(f, song), MidiFile::kOk);
    std::fclose(f);
    if (FindSoundFont().empty()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    // The first four note-ons at distinct times.
    std::vector<size_t> notes;
    for (size_t i = 0; i < song.events.size() && notes.size() < 4; ++i) {
        const MidiEvent& e = song.events[i];
        if ((e.status & 0xF0) == 0x90 && e.data2 > 0 &&
            (notes.empty() || song.events[notes.back()].timeUs < e.timeUs)) {
            notes.push_back(i);
        }
    }
    ASSERT_FALSE(notes.empty());
    for (int rate : {44100, 48000}) {
        for (size_t note : notes) {
            EXPECT_LE(std::fabs(OnsetErrorMs(rate, song, note)), 1.0)
                << rate << " Hz, event " << note;
        }
    }
}

TEST(MidiSynth, PreloadedSynthesiserSoundsExactlyLikeOneLoadedAtTheOpen) {
    if (FindSoundFont().empty()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    for (int rate : {44100, 48000}) {
        const std::vector<float> loaded = RenderChord(rate, false);
        const std::vector<float> preloaded = RenderChord(rate, true);
        ASSERT_EQ(loaded.size(), static_cast<size_t>(rate) * 2);
        EXPECT_GT(Peak(loaded), 0.01f);
        EXPECT_TRUE(loaded == preloaded) << rate << " Hz";
    }
    // An output that goes before anything opened it waits for its load.
    {
        AudioOutputMemory output(48000);
        PreloadMidiSynth(output);
    }
}

TEST_F(SynthFixture, PlaysTheAttachedSongThroughTheOpenOutputUntilStopped) {
    if (FindSoundFont().empty()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    Open(48000);
    SmfTrack t;
    t.At(0, {0x90, 60, 110}).At(0, {0xB0, 64, 127}).End(96 * 40);  // held for 20 s
    TempFile file(Smf(0, 96, {t}));
    MidiControl control;
    ASSERT_EQ(control.ConnectDataFile(file.path.c_str()), 0);
    EXPECT_EQ(control.GetTimeLength(), 20000u);
    Play(control);
    const float playing = Peak(output->Pull(4800));
    EXPECT_GT(playing, 0.01f);

    PlayingStatus stop;
    control.SetPlayingStatus(stop);
    output->Pull(48000 * 3);  // release and reverb tail, pedal or not
    EXPECT_LT(Peak(output->Pull(4800)), playing / 100);

    // Closing the output a song plays through stops it too.
    Play(control);
    EXPECT_GT(Peak(output->Pull(4800)), 0.01f);
    EXPECT_EQ(midiOutClose(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutClose(handle), MMSYSERR_INVALHANDLE);
    output->Pull(48000 * 3);
    EXPECT_LT(Peak(output->Pull(4800)), playing / 100);

    // A closed handle plays nothing.
    PlayingStatus start;
    start.play = 1;
    start.output = handle;
    handle = 0;
    EXPECT_EQ(control.SetPlayingStatus(start), -1);
}

TEST_F(SynthFixture, OpeningNeedsAnAudioOutputAndValidArguments) {
    HMIDIOUT h = 77;
    SetAudio(nullptr);
    EXPECT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(midiOutOpen(nullptr, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutOpen(&h, 0, 0x1234, 0, 0x30000), MMSYSERR_INVALPARAM);
    AudioOutputMemory out(44100);
    SetAudio(&out);
    EXPECT_EQ(midiOutOpen(&h, 3, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiOutClose(0), MMSYSERR_INVALHANDLE);
    if (FindSoundFont().empty()) {
        EXPECT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MIDIERR_NODEVICE);
        return;
    }
    ASSERT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_NE(MidiOutSynth(h), nullptr);
    // Once the output it was opened on is gone, the handle reaches nothing.
    SetAudio(nullptr);
    EXPECT_EQ(MidiOutSynth(h), nullptr);
    AudioOutputMemory other(44100);
    SetAudio(&other);
    EXPECT_EQ(MidiOutSynth(h), nullptr);
}

TEST(MidiSoundFont, LooksInTheEnvironmentThenFluidSynthThenTheUsualPlaces) {
    const std::vector<std::string> paths =
        SoundFontCandidates("/a/one.sf2:/b/two.sf2;;/c/three.sf3", "/fluid/default.sf3");
    ASSERT_GE(paths.size(), 6u);
    EXPECT_EQ(paths[0], "/a/one.sf2");
    EXPECT_EQ(paths[1], "/b/two.sf2");
    EXPECT_EQ(paths[2], "/c/three.sf3");
    EXPECT_EQ(paths[3], "/fluid/default.sf3");
    EXPECT_EQ(paths[4], "/usr/share/sounds/sf2/default-GM.sf2");
    EXPECT_EQ(SoundFontCandidates(nullptr, "")[0], "/usr/share/sounds/sf2/default-GM.sf2");
}

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "audio/MusicPlayer.h"
#include "midi_test_files.h"
#include "platform/MidiSynth.h"
#include "platform/linux/MidiSoundFont.h"
#include "platform/virtual/AudioOutputMemory.h"
#include "platform/virtual/VirtualSystem.h"
#include "support/GameHarness.h"
#include "support/ScratchDir.h"

namespace {

// Runs the test in a directory of its own, where it may put a song.
class SongDir {
  public:
    SongDir() {
        path_ = MakeScratchDir("quorvax_song_");
        char* cwd = getcwd(nullptr, 0);
        old_ = cwd;
        free(cwd);
        EXPECT_EQ(chdir(path_.c_str()), 0);
    }
    ~SongDir() {
        unlink("SONAT_A1.MID");
        EXPECT_EQ(chdir(old_.c_str()), 0);
        rmdir(path_.c_str());
    }
    // A song of lengthMs milliseconds: one note, then silence to the end
    // (1000 ticks per quarter at 0.5 s: two ticks per millisecond).
    void WriteSong(uint32_t lengthMs) {
        SmfTrack t;
        t.At(0, {0x90, 60, 100}).At(200, {0x80, 60, 0}).End(lengthMs * 2 - 200);
        const std::vector<uint8_t> bytes = Smf(0, 1000, {t});
        std::FILE* f = std::fopen("SONAT_A1.MID", "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

  private:
    std::string path_;
    std::string old_;
};

int Count(const VirtualSystem& sys, const std::string& text) {
    int n = 0;
    for (const auto& m : sys.messages) {
        n += m.text == text ? 1 : 0;
    }
    return n;
}

class MusicPlayerTest : public ::testing::Test {
  protected:
    MusicPlayerTest() { SetSys(&sys); }
    ~MusicPlayerTest() override {
        owned.reset();  // its window goes while the system is still there
        SetAudio(nullptr);
        SetSys(nullptr);
    }
    // As Game::Init does it.
    void StartPlayer() {
        player.Create();
        player.Start();
    }

    VirtualSystem sys{VirtualSystem::Options{1280, 720, false}};
    SongDir dir;
    std::unique_ptr<MusicPlayer> owned = std::make_unique<MusicPlayer>();
    MusicPlayer& player = *owned;
};

}  // namespace

TEST_F(MusicPlayerTest, RestartsAtTheFirstPollAfterTheSongsLength) {
    dir.WriteSong(60000);
    const uint32_t t = 5000;
    sys.SetTickBase(t);
    StartPlayer();
    EXPECT_TRUE(sys.messages.empty() || Count(sys, "Error opening Mapper") == 1);
    EXPECT_EQ(player.songLengthMs, 60000u);
    EXPECT_EQ(player.startTick, t);
    EXPECT_TRUE(sys.HasTimer(player, 1));
    // The poll at exactly T + 60000 leaves it alone: the test is strictly greater.
    sys.AdvanceTime(60000);
    EXPECT_EQ(player.startTick, t);
    sys.AdvanceTime(1000);
    EXPECT_EQ(player.startTick, t + 61000);
    // And again one length later.
    sys.AdvanceTime(60999);
    EXPECT_EQ(player.startTick, t + 61000);
    sys.AdvanceTime(1);
    EXPECT_EQ(player.startTick, t + 122000);
}

TEST_F(MusicPlayerTest, RestartsAfterItsLengthAcrossTheTickCountsWrap) {
    dir.WriteSong(2500);
    const uint32_t t = 0xFFFFFFFFu - 1200;  // wraps 1201 ms into the song
    sys.SetTickBase(t);
    StartPlayer();
    sys.AdvanceTime(2000);
    EXPECT_EQ(player.startTick, t);
    sys.AdvanceTime(1000);  // the first poll past 2500 ms
    EXPECT_EQ(player.startTick, uint32_t(t + 3000));
    EXPECT_EQ(player.startTick, 1799u);
}

TEST_F(MusicPlayerTest, AMissingSongIsReportedOnceAndNotRestartedAtEveryPoll) {
    StartPlayer();
    ASSERT_EQ(Count(sys, "Error = -1"), 1);
    EXPECT_FALSE(player.Control().HasSong());
    EXPECT_EQ(player.songLengthMs, 0u);
    const uint32_t started = player.startTick;
    const size_t messages = sys.messages.size();
    sys.AdvanceTime(10000);
    EXPECT_EQ(player.startTick, started);
    EXPECT_EQ(sys.messages.size(), messages);
    EXPECT_TRUE(sys.HasTimer(player, 1));

    // A file that is no song at all gives its own negative code.
    std::FILE* f = std::fopen("SONAT_A1.MID", "wb");
    std::fputs("not a song", f);
    std::fclose(f);
    MusicPlayer other;
    other.Create();
    EXPECT_EQ(Count(sys, "Error = -2"), 1);
    EXPECT_EQ(sys.messages.back().caption, "quorvax");
}

TEST_F(MusicPlayerTest, NoMidiOutputIsReportedOnceWhileTheSongKeepsRestarting) {
    dir.WriteSong(1500);
    StartPlayer();  // no audio output set: the mapper cannot open
    EXPECT_EQ(Count(sys, "Error opening Mapper"), 1);
    EXPECT_EQ(player.midiOut, 0u);
    const uint32_t t = player.startTick;
    sys.AdvanceTime(10000);
    EXPECT_EQ(Count(sys, "Error opening Mapper"), 1);
    EXPECT_EQ(player.startTick, t + 10000);  // restarted at 2000, 4000, ... 10000
    EXPECT_EQ(player.midiOut, 0u);
}

TEST_F(MusicPlayerTest, PlaysThroughAFreshOutputAtEveryRestartAndStopsWithItsWindow) {
    if (FindSoundFont().empty()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    AudioOutputMemory output(48000);
    SetAudio(&output);
    dir.WriteSong(1500);
    StartPlayer();
    EXPECT_TRUE(sys.messages.empty());
    ASSERT_NE(player.midiOut, 0u);
    MidiSynth* synth = output.Mixer().Synth();
    ASSERT_NE(synth, nullptr);
    EXPECT_EQ(synth->PlayingHandle(), player.midiOut);
    const HMIDIOUT first = player.midiOut;
    sys.AdvanceTime(2000);
    EXPECT_NE(player.midiOut, first);
    EXPECT_EQ(synth->PlayingHandle(), player.midiOut);
    EXPECT_EQ(midiOutClose(first), MMSYSERR_INVALHANDLE);  // closed by the restart

    player.DestroyWindow();
    EXPECT_EQ(player.midiOut, 0u);
    EXPECT_EQ(synth->PlayingHandle(), 0u);
    EXPECT_FALSE(sys.HasTimer(player, 1));
    EXPECT_FALSE(player.IsOpen());
}

TEST(MusicPlayerGame, AMissingSongDoesNotStopTheGame) {
    SongDir dir;  // no song, no sounds, no pictures here
    GameHarness h(VirtualSystem::Options{640, 480, true});
    EXPECT_EQ(Count(h.sys, "Error = -1"), 1);
    EXPECT_TRUE(h.Tick(100));
    h.StartPlaying();
    EXPECT_TRUE(h.Tick(100));
    EXPECT_EQ(Count(h.sys, "Error = -1"), 1);
    EXPECT_EQ(h.game().PlaySound(0), 0);
    EXPECT_EQ(h.game().PlaySound(4), 0);
}

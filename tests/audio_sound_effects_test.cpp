#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/SoundEffects.h"
#include "platform/virtual/AudioOutputMemory.h"
#include "support/ScratchDir.h"

namespace {

// A directory of the test's own with the three sounds: mono 16-bit at
// 24 kHz, each a constant level (bomb 0.25, death 0.5, over -0.5).
class SoundDir {
  public:
    SoundDir() {
        path = MakeScratchDir("quorvax_sounds_");
        Write("bomb.wav", 8192, 2400);
        Write("death.wav", 16384, 2400);
        Write("over.wav", -16384, 4800);
    }
    ~SoundDir() {
        for (const char* f : {"bomb.wav", "death.wav", "over.wav"}) {
            unlink((path + "/" + f).c_str());
        }
        rmdir(path.c_str());
    }
    void Write(const char* file, int16_t level, uint32_t frames) {
        std::FILE* f = std::fopen((path + "/" + file).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        const uint32_t dataBytes = frames * 2;
        const uint32_t riff = 36 + dataBytes;
        const uint32_t rate = 24000, byteRate = 48000, fmtSize = 16;
        const uint16_t pcm = 1, channels = 1, align = 2, bits = 16;
        std::fwrite("RIFF", 1, 4, f);
        std::fwrite(&riff, 4, 1, f);
        std::fwrite("WAVEfmt ", 1, 8, f);
        std::fwrite(&fmtSize, 4, 1, f);
        std::fwrite(&pcm, 2, 1, f);
        std::fwrite(&channels, 2, 1, f);
        std::fwrite(&rate, 4, 1, f);
        std::fwrite(&byteRate, 4, 1, f);
        std::fwrite(&align, 2, 1, f);
        std::fwrite(&bits, 2, 1, f);
        std::fwrite("data", 1, 4, f);
        std::fwrite(&dataBytes, 4, 1, f);
        for (uint32_t i = 0; i < frames; ++i) {
            std::fwrite(&level, 2, 1, f);
        }
        std::fclose(f);
    }
    std::string path;
};

class SoundEffectsTest : public ::testing::Test {
  protected:
    void SetUp() override { SetAudio(&output); }
    void TearDown() override { SetAudio(nullptr); }
    AudioOutputMemory output{48000};
    SoundDir dir;
};

// The sounds are told apart by their level, read this many frames after a
// start: the conversion to 48 kHz softens each sound's first and last
// frames (it takes a few dozen source frames either side into account).
constexpr size_t kSettled = 100;

}  // namespace

TEST_F(SoundEffectsTest, TheNewestSoundCutsOffTheOneStillPlaying) {
    SoundEffects effects(dir.path);
    EXPECT_EQ(effects.Play(1), 1);
    std::vector<float> pcm = output.Pull(1000);
    EXPECT_NEAR(pcm[kSettled * 2], 0.25f, 1e-5f);
    EXPECT_NEAR(pcm[1999], 0.25f, 1e-5f);
    // Three deaths in one frame: one sound, started by the last call.
    EXPECT_EQ(effects.Play(2), 1);
    EXPECT_EQ(effects.Play(2), 1);
    EXPECT_EQ(effects.Play(2), 1);
    pcm = output.Pull(6000);
    EXPECT_NEAR(pcm[kSettled * 2], 0.5f, 1e-5f);
    // 2400 frames at 24 kHz is 4800 at 48 kHz.
    EXPECT_NEAR(pcm[(4800 - kSettled) * 2], 0.5f, 1e-5f);
    EXPECT_NE(pcm[4799 * 2], 0.0f);
    EXPECT_EQ(pcm[4800 * 2], 0.0f);
    // "over.wav" right after "death.wav" cuts the latter off.
    effects.Play(2);
    output.Pull(100);
    effects.Play(3);
    EXPECT_NEAR(output.Pull(kSettled + 1)[kSettled * 2], -0.5f, 1e-5f);
}

TEST_F(SoundEffectsTest, OtherKindsPlayNothingAndDoNotFail) {
    SoundEffects effects(dir.path);
    effects.Play(1);
    for (int kind : {0, 4, -1, 1000}) {
        EXPECT_EQ(effects.Play(kind), 0) << kind;
    }
    // The sound playing goes on.
    EXPECT_NEAR(output.Pull(kSettled + 1)[kSettled * 2], 0.25f, 1e-5f);
}

TEST_F(SoundEffectsTest, FilesAreReadOnceAndMissingOnesPlayNothing) {
    SoundEffects effects(dir.path);
    EXPECT_EQ(effects.Play(1), 1);
    unlink((dir.path + "/bomb.wav").c_str());
    unlink((dir.path + "/death.wav").c_str());
    EXPECT_EQ(effects.Play(1), 1);
    EXPECT_EQ(effects.Play(2), 0);
    // A file that turns up later is not looked for again.
    dir.Write("death.wav", 1000, 10);
    EXPECT_EQ(effects.Play(2), 0);

    SoundEffects elsewhere("/nonexistent-quorvax-dir");
    EXPECT_EQ(elsewhere.Play(3), 0);
    output.Pull(10000);
    EXPECT_EQ(elsewhere.Play(3), 0);
    EXPECT_EQ(output.Pull(1)[0], 0.0f);
}

TEST_F(SoundEffectsTest, WithoutAnOutputNothingPlaysAndAnotherRateIsFollowed) {
    SoundEffects effects(dir.path);
    SetAudio(nullptr);
    EXPECT_EQ(effects.Play(1), 0);
    AudioOutputMemory slower(24000);
    SetAudio(&slower);
    EXPECT_EQ(effects.Play(1), 1);
    const std::vector<float> pcm = slower.Pull(2500);
    EXPECT_FLOAT_EQ(pcm[2399 * 2], 0.25f);  // at the file's own rate now
    EXPECT_EQ(pcm[2400 * 2], 0.0f);
}

TEST(SoundEffectsGameFiles, TheGamesThreeSoundsPlayFromTheWorkingDirectory) {
    std::FILE* probe = std::fopen("bomb.wav", "rb");
    if (probe == nullptr) {
        GTEST_SKIP() << "the game's sounds have not been made";
    }
    std::fclose(probe);
    SoundEffects effects;
    for (int kind = 1; kind <= 3; ++kind) {
        AudioOutputMemory output(44100);
        SetAudio(&output);
        ASSERT_EQ(effects.Play(kind), 1) << kind;
        const std::vector<float> pcm = output.Pull(44100 / 10);
        float peak = 0.0f;
        for (float v : pcm) {
            peak = std::max(peak, std::fabs(v));
        }
        EXPECT_GT(peak, 0.01f) << kind;
        SetAudio(nullptr);
    }
}

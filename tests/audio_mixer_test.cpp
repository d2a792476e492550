#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include "platform/AudioLock.h"
#ifndef _WIN32
#include "platform/linux/AudioOutputSdl.h"
#endif
#include "platform/virtual/AudioOutputMemory.h"

namespace {

std::shared_ptr<const AudioClip> Constant(float value, size_t frames) {
    auto clip = std::make_shared<AudioClip>();
    clip->sampleRate = 48000;
    clip->samples.assign(frames * 2, value);
    return clip;
}

}  // namespace

TEST(AudioMixer, ANewEffectCutsOffTheOneStillPlaying) {
    AudioOutputMemory out(48000);
    EXPECT_EQ(out.Pull(10), std::vector<float>(20, 0.0f));
    out.Mixer().PlayEffect(Constant(0.25f, 1000));
    std::vector<float> pcm = out.Pull(100, 64);
    EXPECT_EQ(pcm.front(), 0.25f);
    EXPECT_EQ(pcm.back(), 0.25f);
    out.Mixer().PlayEffect(Constant(-0.5f, 150));
    pcm = out.Pull(200, 64);
    EXPECT_EQ(pcm[0], -0.5f);
    EXPECT_EQ(pcm[149 * 2 + 1], -0.5f);
    EXPECT_EQ(pcm[150 * 2], 0.0f);  // the first never comes back
    EXPECT_EQ(pcm.back(), 0.0f);
    EXPECT_FALSE(out.Mixer().EffectPlaying());
    // The same clip again starts over.
    auto clip = Constant(0.75f, 10);
    out.Mixer().PlayEffect(clip);
    out.Pull(5);
    out.Mixer().PlayEffect(clip);
    EXPECT_EQ(out.Pull(10)[9 * 2], 0.75f);
}

TEST(AudioMixer, OutputIsClippedToFullScale) {
    AudioOutputMemory out(44100);
    out.Mixer().PlayEffect(Constant(3.0f, 4));
    for (float v : out.Pull(4)) {
        EXPECT_EQ(v, 1.0f);
    }
}

// The player's levels reach the output in use at once and any output set
// later; silenced is plain zero.
TEST(AudioOutput, PlaysEffectsAtThePlayersLevel) {
    AudioOutputMemory out(48000);
    SetAudio(&out);
    for (const float level : {0.5f, 0.0f, 1.0f}) {
        SetAudioLevels(1.0f, level);
        out.Mixer().PlayEffect(Constant(-0.5f, 10));
        const std::vector<float> pcm = out.Pull(10);
        EXPECT_EQ(pcm[0], level == 0.0f ? 0.0f : -0.5f * level);
        EXPECT_FALSE(std::signbit(pcm[0]) && level == 0.0f);
    }
    SetAudioLevels(1.0f, 0.0f);
    SetAudio(nullptr);
    AudioOutputMemory later(48000);
    SetAudio(&later);
    later.Mixer().PlayEffect(Constant(0.5f, 10));
    EXPECT_EQ(later.Pull(10)[0], 0.0f);
    SetAudioLevels(1.0f, 1.0f);
    SetAudio(nullptr);
}

// A device playing the song by itself gets the level in its notes' velocity.
TEST(AudioOutput, ScalesNoteOnsToTheMusicLevel) {
    const struct {
        float level;
        uint32_t in, out;
    } cases[] = {
        {1.0f, 0x647F90, 0x647F90}, {0.5f, 0x643C91, 0x323C91}, {0.0f, 0x643C90, 0x003C90},
        {0.5f, 0x643C80, 0x643C80}, {0.5f, 0x4007B0, 0x4007B0}, {0.01f, 0x013C90, 0x003C90},
    };
    for (const auto& c : cases) {
        SetAudioLevels(c.level, 1.0f);
        EXPECT_EQ(AtMusicLevel(c.in), c.out) << std::hex << c.in << " at " << c.level;
    }
    SetAudioLevels(1.0f, 1.0f);
}

TEST(AudioOutput, TheCurrentOutputIsForgottenWhenItGoes) {
    {
        AudioOutputMemory out;
        SetAudio(&out);
        EXPECT_EQ(Audio(), &out);
    }
    EXPECT_EQ(Audio(), nullptr);
}

#ifndef _WIN32  // the Linux backend's sound device
TEST(AudioOutputSdl, TheDeviceCallbackPullsTheMixer) {
    // ctest runs with SDL's dummy driver: a device without a sound card.
    std::unique_ptr<AudioOutputSdl> out = AudioOutputSdl::Open();
    if (!out) {
        GTEST_SKIP() << "no SDL audio device here";
    }
    EXPECT_GE(out->SampleRate(), 8000);
    {
        AudioLock lock(*out);
        out->Mixer().PlayEffect(Constant(0.1f, 100));
    }
    bool playing = true;
    for (int i = 0; i < 500 && playing; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        AudioLock lock(*out);
        playing = out->Mixer().EffectPlaying();
    }
    EXPECT_FALSE(playing);
}
#endif

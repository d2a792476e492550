#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/WaveFile.h"
#include "image/FileStream.h"

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8)});
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8), uint8_t(x >> 16), uint8_t(x >> 24)});
}

// A RIFF/WAVE image: format fields as given, data bytes as given.
std::vector<uint8_t> Wave(uint16_t tag, int channels, int rate, int bits,
                          const std::vector<uint8_t>& pcm, bool extensible = false) {
    std::vector<uint8_t> fmt;
    Put16(fmt, extensible ? 0xFFFE : tag);
    Put16(fmt, channels);
    Put32(fmt, rate);
    Put32(fmt, rate * channels * bits / 8);
    Put16(fmt, channels * bits / 8);
    Put16(fmt, bits);
    if (extensible) {
        Put16(fmt, 22);
        Put16(fmt, bits);
        Put32(fmt, 3);
        Put16(fmt, tag);
        fmt.insert(fmt.end(), 14, 0);
    }
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    out.insert(out.end(), {'L', 'I', 'S', 'T'});  // an odd-sized chunk to skip, padded
    Put32(out, 3);
    out.insert(out.end(), {'a', 'b', 'c', 0});
    out.insert(out.end(), {'f', 'm', 't', ' '});
    Put32(out, uint32_t(fmt.size()));
    out.insert(out.end(), fmt.begin(), fmt.end());
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, uint32_t(pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    const uint32_t riff = uint32_t(out.size() - 8);
    std::memcpy(out.data() + 4, &riff, 4);
    return out;
}

std::vector<uint8_t> Pcm16(std::initializer_list<int16_t> samples) {
    std::vector<uint8_t> out;
    for (int16_t s : samples) {
        Put16(out, uint16_t(s));
    }
    return out;
}

bool Parse(WaveFile& w, const std::vector<uint8_t>& bytes) {
    return w.Parse(bytes.data(), bytes.size());
}

}  // namespace

TEST(WaveFile, ReadsEverySampleFormat) {
    WaveFile w;
    ASSERT_TRUE(Parse(w, Wave(1, 1, 22050, 16, Pcm16({0, 16384, -32768, 32767}))));
    EXPECT_EQ(w.SampleRate(), 22050);
    ASSERT_EQ(w.Frames(), 4u);
    EXPECT_FLOAT_EQ(w.Samples()[1], 0.5f);
    EXPECT_FLOAT_EQ(w.Samples()[2], -1.0f);

    ASSERT_TRUE(Parse(w, Wave(1, 2, 8000, 8, {128, 255, 0, 192})));
    EXPECT_EQ(w.Channels(), 2);
    EXPECT_FLOAT_EQ(w.Samples()[0], 0.0f);
    EXPECT_FLOAT_EQ(w.Samples()[2], -1.0f);
    EXPECT_FLOAT_EQ(w.Samples()[3], 0.5f);

    ASSERT_TRUE(Parse(w, Wave(1, 1, 48000, 24, {0x00, 0x00, 0xC0, 0xFF, 0xFF, 0x3F})));
    EXPECT_FLOAT_EQ(w.Samples()[0], -0.5f);
    EXPECT_NEAR(w.Samples()[1], 0.5f, 1e-6);

    std::vector<uint8_t> floats(8);
    const float f[2] = {0.25f, -2.0f};  // out of range is clamped
    std::memcpy(floats.data(), f, 8);
    ASSERT_TRUE(Parse(w, Wave(3, 1, 44100, 32, floats, true)));
    EXPECT_FLOAT_EQ(w.Samples()[0], 0.25f);
    EXPECT_FLOAT_EQ(w.Samples()[1], -1.0f);
}

TEST(WaveFile, ConvertsToStereoAtTheDeviceRate) {
    WaveFile w;
    ASSERT_TRUE(Parse(w, Wave(1, 1, 24000, 16, Pcm16({0, 16384, 0, -16384}))));
    const AudioClip clip = w.ToClip(48000);
    EXPECT_EQ(clip.sampleRate, 48000);
    ASSERT_EQ(clip.Frames(), 8u);
    const float expect[] = {0, 0.25f, 0.5f, 0.25f, 0, -0.25f, -0.5f, -0.5f};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(clip.samples[i * 2], expect[i]) << i;
        EXPECT_FLOAT_EQ(clip.samples[i * 2 + 1], expect[i]) << i;
    }
    // Same rate: a plain copy; stereo keeps its sides.
    ASSERT_TRUE(Parse(w, Wave(1, 2, 44100, 16, Pcm16({100, -100, 200, -200}))));
    const AudioClip same = w.ToClip(44100);
    ASSERT_EQ(same.Frames(), 2u);
    EXPECT_FLOAT_EQ(same.samples[3], -200 / 32768.0f);
}

TEST(WaveFile, RefusesWhatIsNotAPlayableWave) {
    WaveFile w;
    const std::vector<uint8_t> pcm = Pcm16({1, 2, 3, 4});
    EXPECT_FALSE(Parse(w, {}));
    EXPECT_FALSE(Parse(w, {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}));
    EXPECT_FALSE(Parse(w, Wave(2, 1, 22050, 4, pcm)));      // ADPCM
    EXPECT_FALSE(Parse(w, Wave(1, 0, 22050, 16, pcm)));     // no channels
    EXPECT_FALSE(Parse(w, Wave(1, 9, 22050, 16, pcm)));     // too many
    EXPECT_FALSE(Parse(w, Wave(1, 1, 0, 16, pcm)));         // no rate
    EXPECT_FALSE(Parse(w, Wave(1, 1, 10000000, 16, pcm)));  // absurd rate
    EXPECT_FALSE(Parse(w, Wave(1, 1, 22050, 12, pcm)));
    EXPECT_FALSE(Parse(w, Wave(3, 1, 22050, 16, pcm)));  // 16-bit float
    std::vector<uint8_t> badAlign = Wave(1, 1, 22050, 16, pcm);
    badAlign[12 + 12 + 8 + 12] = 7;
    EXPECT_FALSE(Parse(w, badAlign));
    std::vector<uint8_t> noFmt = Wave(1, 1, 22050, 16, pcm);
    std::memcpy(noFmt.data() + 24, "junk", 4);
    EXPECT_FALSE(Parse(w, noFmt));
    EXPECT_EQ(w.Frames(), 0u);
    EXPECT_FALSE(w.Read(nullptr));
}

TEST(WaveFile, DamagedFilesPlayAsFarAsTheyAreSound) {
    WaveFile w;
    std::vector<uint8_t> bytes = Wave(1, 2, 22050, 16, Pcm16({1, 2, 3, 4, 5, 6}));
    // Cut in the middle of the last frame: the whole frames before it stay.
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 3);
    ASSERT_TRUE(Parse(w, cut));
    EXPECT_EQ(w.Frames(), 2u);
    // RIFF and data sizes far past the end of the file.
    std::vector<uint8_t> absurd = bytes;
    std::memset(absurd.data() + 4, 0xFF, 4);
    std::memset(absurd.data() + absurd.size() - 12 - 4, 0xFF, 4);
    ASSERT_TRUE(Parse(w, absurd));
    EXPECT_EQ(w.Frames(), 3u);
    // A sound longer than a minute is cut there.
    std::vector<uint8_t> longPcm(static_cast<size_t>(1000) * (WaveFile::kMaxWaveSeconds + 5), 128);
    ASSERT_TRUE(Parse(w, Wave(1, 1, 1000, 8, longPcm)));
    EXPECT_EQ(w.Frames(), 1000u * WaveFile::kMaxWaveSeconds);
    // Every RIFF size, down to ones smaller than the RIFF header itself.
    for (uint32_t riff = 0; riff < bytes.size() + 16; ++riff) {
        std::vector<uint8_t> sized = bytes;
        std::memcpy(sized.data() + 4, &riff, 4);
        WaveFile part;
        if (part.Parse(sized.data(), sized.size())) {
            EXPECT_LE(part.Frames(), 3u);
        }
    }
    // Every prefix of a file: refused or read, never more than is there.
    for (size_t n = 0; n < bytes.size(); ++n) {
        WaveFile part;
        if (part.Parse(bytes.data(), n)) {
            EXPECT_LE(part.Frames(), 3u);
        }
    }
}

TEST(WaveFile, ReadsFromAStream) {
    std::vector<uint8_t> bytes = Wave(1, 1, 11025, 16, Pcm16({7, 8, 9}));
    FileStream f;
    ASSERT_TRUE(f.OpenMemory(bytes.data(), bytes.size()));
    WaveFile w;
    EXPECT_TRUE(w.Read(f.Get()));
    f.Close();
    EXPECT_EQ(w.Frames(), 3u);
}

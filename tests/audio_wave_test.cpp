#include <gtest/gtest.h>

#include <cmath>
#include <complex>
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

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    for (int16_t s : samples) {
        Put16(out, uint16_t(s));
    }
    return out;
}

bool Parse(WaveFile& w, const std::vector<uint8_t>& bytes) {
    return w.Parse(bytes.data(), bytes.size());
}

// A mono 32-bit float wave of one second of a sine, free of quantisation noise.
std::vector<uint8_t> SineWave(int rate, double hz, double amplitude) {
    std::vector<uint8_t> pcm(static_cast<size_t>(rate) * 4);
    for (int i = 0; i < rate; ++i) {
        const float v = static_cast<float>(amplitude * std::sin(2 * M_PI * hz * i / rate));
        std::memcpy(&pcm[static_cast<size_t>(i) * 4], &v, 4);
    }
    return Wave(3, 1, rate, 32, pcm);
}

// Magnitudes of the spectrum of n samples (n a power of two) under a
// four-term Blackman-Harris window, whose side lobes (-92 dB) hide
// nothing the resampler is asked to reach; scaled so that a sine of
// amplitude 1 centred on a bin reads 1 there.
std::vector<double> Spectrum(const std::vector<float>& x, size_t n) {
    std::vector<std::complex<double>> a(n);
    double gain = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = 2 * M_PI * static_cast<double>(i) / static_cast<double>(n);
        const double w =
            0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        a[i] = x[i] * w;
        gain += w;
    }
    for (size_t i = 1, j = 0; i < n; ++i) {  // bit-reversed order, then butterflies
        size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2 * M_PI / static_cast<double>(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < len / 2; ++k, w *= step) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
    std::vector<double> mag(n / 2 + 1);
    for (size_t k = 0; k < mag.size(); ++k) {
        mag[k] = 2 * std::abs(a[k]) / gain;
    }
    return mag;
}

double Db(double ratio) {
    return 20 * std::log10(std::max(ratio, 1e-12));
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
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(clip.samples[i * 2], clip.samples[i * 2 + 1]) << i;
    }
    // A steady level stays that level away from the sound's ends, whatever
    // the ratio (47,999 Hz has no small one: its positions fall between rows).
    ASSERT_TRUE(Parse(w, Wave(1, 1, 22050, 16, Pcm16(std::vector<int16_t>(2000, 16384)))));
    for (const int rate : {48000, 44100, 8000, 47999}) {
        const AudioClip steady = w.ToClip(rate);
        ASSERT_EQ(steady.Frames(), (2000u * rate + 22049) / 22050) << rate;
        for (size_t i = steady.Frames() / 4; i < steady.Frames() * 3 / 4; ++i) {
            ASSERT_NEAR(steady.samples[i * 2], 0.5f, 1e-5f) << rate << " frame " << i;
        }
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

// The effects come at 22,050 Hz and play at the device's rate. A sine made
// over: the tone keeps its level, and nothing else (the images of the
// source's spectrum above its own half rate, or aliases when the device's
// rate is the lower) comes within 70 dB of it. Linear interpolation left
// images 7 to 53 dB below the tone, and aliases 3 dB below.
TEST(WaveFile, ResamplesWithoutImagesOrAliases) {
    struct Case {
        int from, to;
        double hz;     // moved onto the nearest bin of the analysis
        bool audible;  // false: above the device's half rate, so all must go
    };
    const Case cases[] = {
        {22050, 48000, 1000, true}, {22050, 48000, 5000, true}, {22050, 48000, 9000, true},
        {22050, 44100, 5000, true}, {22050, 47999, 5000, true}, {48000, 22050, 15000, false},
    };
    constexpr size_t kN = 8192;
    constexpr double kAmplitude = 0.5;
    for (const Case& c : cases) {
        const double bin = static_cast<double>(c.to) / kN;
        const double hz = std::round(c.hz / bin) * bin;
        WaveFile w;
        ASSERT_TRUE(Parse(w, SineWave(c.from, hz, kAmplitude)));
        const AudioClip clip = w.ToClip(c.to);
        ASSERT_EQ(clip.Frames(), static_cast<size_t>(c.to));
        // From the middle of the second: no start or end in the window.
        std::vector<float> left(kN);
        for (size_t i = 0; i < kN; ++i) {
            left[i] = clip.samples[(static_cast<size_t>(c.to) / 2 - kN / 2 + i) * 2];
            ASSERT_EQ(left[i], clip.samples[(static_cast<size_t>(c.to) / 2 - kN / 2 + i) * 2 + 1]);
        }
        const std::vector<double> mag = Spectrum(left, kN);
        const size_t tone = static_cast<size_t>(std::lround(hz / bin));
        double other = 0;
        for (size_t k = 1; k < mag.size(); ++k) {  // the DC bin and the tone's main lobe aside
            if (!c.audible || k + 4 < tone || k > tone + 4) {
                other = std::max(other, mag[k]);
            }
        }
        const double toneDb = c.audible ? Db(mag[tone] / kAmplitude) : 0;
        const double otherDb = Db(other / kAmplitude);
        std::printf("%d -> %d Hz, %.0f Hz tone: tone %+.2f dB, strongest other %.1f dB\n", c.from,
                    c.to, hz, toneDb, otherDb);
        if (c.audible) {
            EXPECT_NEAR(toneDb, 0.0, 0.5) << c.from << " -> " << c.to << " at " << hz;
        }
        EXPECT_LT(otherDb, -70.0) << c.from << " -> " << c.to << " at " << hz;
    }
}

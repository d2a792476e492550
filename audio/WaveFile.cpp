#include "audio/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/AudioResampler.h"

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool Is(const uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

struct Format {
    uint16_t tag = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    int blockAlign = 0;
};

bool ReadFormat(const uint8_t* p, size_t size, Format& f) {
    if (size < 16) {
        return false;
    }
    f.tag = Le16(p);
    f.channels = Le16(p + 2);
    const uint32_t rate = Le32(p + 4);
    f.blockAlign = Le16(p + 12);
    f.bits = Le16(p + 14);
    if (f.tag == kFormatExtensible) {
        if (size < 40) {
            return false;
        }
        f.tag = Le16(p + 24);  // the first two bytes of the sub-format GUID
    }
    if (f.channels < 1 || f.channels > WaveFile::kMaxWaveChannels ||
        rate < WaveFile::kMinWaveRate || rate > WaveFile::kMaxWaveRate) {
        return false;
    }
    f.rate = static_cast<int>(rate);
    const bool pcm =
        f.tag == kFormatPcm && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    const bool flt = f.tag == kFormatFloat && (f.bits == 32 || f.bits == 64);
    return (pcm || flt) && f.blockAlign == f.channels * f.bits / 8;
}

float Sample(const uint8_t* p, const Format& f) {
    if (f.tag == kFormatFloat) {
        if (f.bits == 32) {
            float v;
            std::memcpy(&v, p, 4);
            return std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f;
        }
        double v;
        std::memcpy(&v, p, 8);
        return std::isfinite(v) ? static_cast<float>(std::clamp(v, -1.0, 1.0)) : 0.0f;
    }
    switch (f.bits) {
        case 8:
            return (p[0] - 128) / 128.0f;
        case 16:
            return static_cast<int16_t>(Le16(p)) / 32768.0f;
        case 24:
            return static_cast<int32_t>(uint32_t{p[0]} << 8 | uint32_t{p[1]} << 16 |
                                        uint32_t{p[2]} << 24) /
                   2147483648.0f;
        default:
            return static_cast<int32_t>(Le32(p)) / 2147483648.0f;
    }
}

}  // namespace

bool WaveFile::Parse(const uint8_t* data, size_t size) {
    sampleRate_ = 0;
    channels_ = 0;
    samples_.clear();
    if (size < 12 || size > kMaxWaveFileBytes || !Is(data, "RIFF") || !Is(data + 8, "WAVE")) {
        return false;
    }
    // A RIFF size beyond the file is a cut-off file: read what is there.
    // A RIFF size too small for its own header is ignored.
    const size_t end = std::clamp<size_t>(size_t{Le32(data + 4)} + 8, 12, size);
    Format format;
    bool haveFormat = false;
    const uint8_t* pcm = nullptr;
    size_t pcmBytes = 0;
    size_t pos = 12;
    while (pos + 8 <= end) {
        const uint8_t* chunk = data + pos;
        const size_t declared = Le32(chunk + 4);
        const size_t avail = end - pos - 8;
        if (Is(chunk, "fmt ")) {
            if (declared > avail || !ReadFormat(chunk + 8, declared, format)) {
                return false;
            }
            haveFormat = true;
        } else if (Is(chunk, "data") && pcm == nullptr) {
            pcm = chunk + 8;
            pcmBytes = std::min(declared, avail);
        }
        if (declared > avail) {
            break;
        }
        pos += 8 + declared + (declared & 1);  // chunks are padded to even sizes
        pos = std::min(pos, end);
    }
    if (!haveFormat || pcm == nullptr) {
        return false;
    }
    const size_t maxFrames = static_cast<size_t>(format.rate) * kMaxWaveSeconds;
    const size_t frames = std::min(pcmBytes / format.blockAlign, maxFrames);
    const int bytesPerSample = format.bits / 8;
    samples_.resize(frames * format.channels);
    for (size_t i = 0; i < samples_.size(); ++i) {
        samples_[i] = Sample(pcm + i * bytesPerSample, format);
    }
    sampleRate_ = format.rate;
    channels_ = format.channels;
    return true;
}

bool WaveFile::Read(std::FILE* file) {
    samples_.clear();
    sampleRate_ = channels_ = 0;
    if (file == nullptr) {
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) {
        if (bytes.size() + n > kMaxWaveFileBytes) {
            return false;
        }
        bytes.insert(bytes.end(), buf, buf + n);
    }
    return Parse(bytes.data(), bytes.size());
}

AudioClip WaveFile::ToClip(int sampleRate) const {
    AudioClip clip;
    clip.sampleRate = sampleRate;
    const size_t frames = Frames();
    if (frames == 0 || sampleRate <= 0) {
        return clip;
    }
    // Left from the first channel, right from the second (or the first again).
    const int sides = std::min(channels_, 2);
    if (sampleRate == sampleRate_) {
        clip.samples.resize(frames * 2);
        for (size_t i = 0; i < frames; ++i) {
            clip.samples[i * 2] = samples_[i * channels_];
            clip.samples[i * 2 + 1] = samples_[i * channels_ + sides - 1];
        }
        return clip;
    }
    // A band-limited conversion: interpolating straight between samples
    // would mirror the sound's upper harmonics above its own half rate.
    const AudioResampler resampler(sampleRate_, sampleRate);
    clip.samples.resize(resampler.OutputFrames(frames) * 2);
    for (int ch = 0; ch < sides; ++ch) {
        resampler.Convert(samples_.data() + ch, frames, static_cast<size_t>(channels_),
                          clip.samples.data() + ch, 2);
    }
    if (sides == 1) {
        for (size_t i = 0; i < clip.samples.size(); i += 2) {
            clip.samples[i + 1] = clip.samples[i];
        }
    }
    return clip;
}

#include "audio/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
    auto at = [this](size_t frame, int ch) {
        return samples_[frame * channels_ + std::min(ch, channels_ - 1)];
    };
    // Linear interpolation is plenty for short effects.
    const double step = static_cast<double>(sampleRate_) / sampleRate;
    const size_t outFrames = static_cast<size_t>(std::ceil(frames / step));
    clip.samples.resize(outFrames * 2);
    for (size_t i = 0; i < outFrames; ++i) {
        const double pos = i * step;
        const size_t a = std::min(static_cast<size_t>(pos), frames - 1);
        const size_t b = std::min(a + 1, frames - 1);
        const float t = static_cast<float>(pos - a);
        for (int ch = 0; ch < 2; ++ch) {
            clip.samples[i * 2 + ch] = at(a, ch) + (at(b, ch) - at(a, ch)) * t;
        }
    }
    return clip;
}

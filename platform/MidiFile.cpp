#include "platform/MidiFile.h"

#include <algorithm>
#include <vector>

namespace {

struct TimedEvent {
    uint64_t tick;
    uint8_t status, data1, data2;
};

struct TempoChange {
    uint64_t tick;
    uint32_t usPerQuarter;
};

uint32_t Be32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint16_t Be16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

// Walks one track chunk. Damage (a cut-off event, a data byte with no status
// to run on, a system message, an over-long number) ends the track at the
// last complete event; only an over-limit event count refuses the file.
class TrackReader {
  public:
    TrackReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    bool Read(std::vector<TimedEvent>& events, std::vector<TempoChange>& tempos) {
        uint64_t tick = 0;
        uint8_t running = 0;
        while (p_ < end_) {
            uint32_t delta = 0;
            if (!Vlq(delta) || p_ >= end_) {
                return true;
            }
            tick += delta;
            const uint8_t b = *p_;
            if (b == 0xFF) {
                ++p_;
                if (p_ >= end_) {
                    return true;
                }
                const uint8_t type = *p_++;
                uint32_t len = 0;
                if (!Vlq(len) || len > Left()) {
                    return true;
                }
                if (type == 0x2F) {
                    endTick = tick;
                    return true;
                }
                if (type == 0x51 && len == 3) {
                    if (events.size() + tempos.size() >= MidiFile::kMaxMidiEvents) {
                        return false;
                    }
                    tempos.push_back({tick, uint32_t{p_[0]} << 16 | uint32_t{p_[1]} << 8 | p_[2]});
                }
                p_ += len;
                endTick = tick;
            } else if (b == 0xF0 || b == 0xF7) {
                ++p_;
                uint32_t len = 0;
                if (!Vlq(len) || len > Left()) {
                    return true;
                }
                p_ += len;
                endTick = tick;
            } else if (b >= 0xF0) {
                return true;
            } else {
                uint8_t status = running;
                if (b & 0x80) {
                    status = b;
                    ++p_;
                }
                if (status == 0) {
                    return true;
                }
                running = status;
                const size_t n = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
                if (n > Left() || (p_[0] & 0x80) || (n == 2 && (p_[1] & 0x80))) {
                    return true;
                }
                if (events.size() + tempos.size() >= MidiFile::kMaxMidiEvents) {
                    return false;
                }
                events.push_back({tick, status, p_[0], n == 2 ? p_[1] : uint8_t{0}});
                p_ += n;
                endTick = tick;
            }
        }
        return true;
    }

    uint64_t endTick = 0;

  private:
    size_t Left() const { return static_cast<size_t>(end_ - p_); }

    // At most four bytes, as the file format allows.
    bool Vlq(uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (p_ >= end_) {
                return false;
            }
            const uint8_t b = *p_++;
            value = value << 7 | (b & 0x7F);
            if (!(b & 0x80)) {
                return true;
            }
        }
        return false;
    }

    const uint8_t* p_;
    const uint8_t* end_;
};

// Ticks to microseconds through the tempo map: us = sum(dt * tempo) / den.
// Queries must come in rising tick order.
class TempoClock {
  public:
    TempoClock(std::vector<TempoChange> tempos, uint32_t baseTempo, uint64_t den)
        : tempos_(std::move(tempos)), tempo_(baseTempo), den_(den) {
        std::stable_sort(
            tempos_.begin(), tempos_.end(),
            [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    }

    // False when the time passes the longest song accepted.
    bool At(uint64_t tick, uint64_t& us) {
        while (next_ < tempos_.size() && tempos_[next_].tick <= tick) {
            if (!Advance(tempos_[next_].tick)) {
                return false;
            }
            tempo_ = tempos_[next_++].usPerQuarter;
        }
        if (!Advance(tick)) {
            return false;
        }
        us = (num_ + den_ / 2) / den_;
        return true;
    }

  private:
    bool Advance(uint64_t tick) {
        const uint64_t dt = tick - tick_;
        const uint64_t limit = MidiFile::kMaxMidiSongUs * den_;
        if (tempo_ != 0 && dt > (limit - num_) / tempo_) {
            return false;
        }
        num_ += dt * tempo_;
        tick_ = tick;
        return true;
    }

    std::vector<TempoChange> tempos_;
    size_t next_ = 0;
    uint64_t tick_ = 0;
    uint64_t num_ = 0;
    uint32_t tempo_;
    const uint64_t den_;
};

constexpr uint32_t kDefaultTempo = 500000;  // 120 beats per minute

}  // namespace

int MidiFile::Parse(const uint8_t* data, size_t size, MidiSong& song) {
    song = MidiSong{};
    if (size > kMaxMidiFileBytes) {
        return kErrTooLarge;
    }
    if (size < 14 || Be32(data) != 0x4D546864) {  // "MThd"
        return kErrNotMidi;
    }
    const uint32_t headerLen = Be32(data + 4);
    const uint16_t format = Be16(data + 8);
    const uint16_t trackCount = Be16(data + 10);
    const uint16_t division = Be16(data + 12);
    if (headerLen < 6 || headerLen > size - 8 || format > 1 || division == 0) {
        return kErrUnsupported;
    }
    if (trackCount > kMaxMidiTracks) {
        return kErrTooLarge;
    }

    // Musical time (ticks per quarter note, scaled by the tempo) or SMPTE
    // time (frames per second times ticks per frame, no tempo).
    uint32_t baseTempo = kDefaultTempo;
    uint64_t den = division;
    const bool smpte = (division & 0x8000) != 0;
    if (smpte) {
        const int fps = -static_cast<int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0) {
            return kErrUnsupported;
        }
        baseTempo = 100000000;  // us * 100, over frames per 100 s
        den = static_cast<uint64_t>(fps == 29 ? 2997 : fps * 100) * ticksPerFrame;
    }

    std::vector<TimedEvent> events;
    std::vector<TempoChange> tempos;
    uint64_t endTick = 0;
    int tracks = 0;
    size_t pos = 8 + headerLen;
    while (tracks < trackCount && size - pos >= 8) {
        const uint32_t id = Be32(data + pos);
        const size_t len = std::min<size_t>(Be32(data + pos + 4), size - pos - 8);
        pos += 8;
        if (id == 0x4D54726B) {  // "MTrk"; a cut-off chunk is read as far as it goes
            TrackReader reader(data + pos, len);
            if (!reader.Read(events, tempos)) {
                return kErrTooLarge;
            }
            endTick = std::max(endTick, reader.endTick);
            ++tracks;
        }
        pos += len;
    }
    if (tracks == 0) {
        return kErrNoTracks;
    }
    if (smpte) {
        tempos.clear();
    }

    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });
    TempoClock clock(std::move(tempos), baseTempo, den);
    MidiSong result;
    result.events.reserve(events.size());
    for (const TimedEvent& e : events) {
        uint64_t us = 0;
        if (!clock.At(e.tick, us)) {
            return kErrTooLarge;
        }
        result.events.push_back({us, e.status, e.data1, e.data2});
    }
    if (!clock.At(endTick, result.lengthUs)) {
        return kErrTooLarge;
    }
    song = std::move(result);
    return kOk;
}

int MidiFile::Read(std::FILE* file, MidiSong& song) {
    song = MidiSong{};
    if (file == nullptr) {
        return kErrCannotOpen;
    }
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) {
        if (bytes.size() + n > kMaxMidiFileBytes) {
            return kErrTooLarge;
        }
        bytes.insert(bytes.end(), buf, buf + n);
    }
    return Parse(bytes.data(), bytes.size(), song);
}

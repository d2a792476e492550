#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

// Builds Standard MIDI Files byte by byte for the tests.
class SmfTrack {
  public:
    // An event after delta ticks; bytes are written as given (so running
    // status is simply leaving the status byte out).
    SmfTrack& At(uint32_t delta, std::initializer_list<uint8_t> bytes) {
        Vlq(delta);
        data.insert(data.end(), bytes);
        return *this;
    }
    SmfTrack& Tempo(uint32_t delta, uint32_t usPerQuarter) {
        return At(delta, {0xFF, 0x51, 0x03, uint8_t(usPerQuarter >> 16), uint8_t(usPerQuarter >> 8),
                          uint8_t(usPerQuarter)});
    }
    SmfTrack& End(uint32_t delta) { return At(delta, {0xFF, 0x2F, 0x00}); }
    void Vlq(uint32_t v) {
        uint8_t tmp[5];
        int n = 0;
        tmp[n++] = v & 0x7F;
        while (v >>= 7) {
            tmp[n++] = uint8_t(0x80 | (v & 0x7F));
        }
        while (n > 0) {
            data.push_back(tmp[--n]);
        }
    }

    std::vector<uint8_t> data;
};

inline void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

// A whole file; trackCount defaults to the tracks given.
inline std::vector<uint8_t> Smf(uint16_t format, uint16_t division,
                                const std::vector<SmfTrack>& tracks, int trackCount = -1) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    const uint16_t n = uint16_t(trackCount < 0 ? tracks.size() : trackCount);
    out.insert(out.end(), {uint8_t(format >> 8), uint8_t(format), uint8_t(n >> 8), uint8_t(n),
                           uint8_t(division >> 8), uint8_t(division)});
    for (const SmfTrack& t : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        PutBe32(out, uint32_t(t.data.size()));
        out.insert(out.end(), t.data.begin(), t.data.end());
    }
    return out;
}

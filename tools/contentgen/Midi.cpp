#include "tools/contentgen/Midi.h"

#include <algorithm>
#include <cmath>

MidiSong::MidiSong(int trackCount) : tracks_(trackCount) {}

void MidiSong::Add(int track, uint32_t tick, int order, std::vector<uint8_t> data) {
    tracks_[track].push_back({tick, order * 1000000 + sequence_++, std::move(data)});
}

void MidiSong::Name(int track, const std::string& name) {
    std::vector<uint8_t> d{0xFF, 0x03, static_cast<uint8_t>(name.size())};
    d.insert(d.end(), name.begin(), name.end());
    Add(track, 0, 0, d);
}

void MidiSong::TimeSignature(uint32_t tick, int numerator, int denominatorPower) {
    Add(0, tick, 0,
        {0xFF, 0x58, 0x04, static_cast<uint8_t>(numerator), static_cast<uint8_t>(denominatorPower),
         24, 8});
}

void MidiSong::KeySignature(uint32_t tick, int sharps, bool minor) {
    Add(0, tick, 0,
        {0xFF, 0x59, 0x02, static_cast<uint8_t>(static_cast<int8_t>(sharps)),
         static_cast<uint8_t>(minor ? 1 : 0)});
}

void MidiSong::Tempo(uint32_t tick, double beatsPerMinute) {
    const uint32_t micros = static_cast<uint32_t>(std::lround(60000000.0 / beatsPerMinute));
    Add(0, tick, 0,
        {0xFF, 0x51, 0x03, static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8),
         static_cast<uint8_t>(micros)});
    tempos_.emplace_back(tick, beatsPerMinute);
}

void MidiSong::Program(int track, int channel, int program) {
    Add(track, 0, 1, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program)});
}

void MidiSong::Controller(int track, uint32_t tick, int channel, int controller, int value) {
    Add(track, tick, 1,
        {static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(controller),
         static_cast<uint8_t>(value)});
}

void MidiSong::Note(int track, uint32_t tick, uint32_t length, int channel, int key, int velocity) {
    Add(track, tick, 2,
        {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key),
         static_cast<uint8_t>(std::clamp(velocity, 1, 127))});
    Add(track, tick + length, 1,
        {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(key), 64});
}

namespace {

void PutVarLen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t bytes[5];
    int n = 0;
    bytes[n++] = v & 0x7F;
    while ((v >>= 7) != 0) {
        bytes[n++] = 0x80 | (v & 0x7F);
    }
    while (n > 0) {
        out.push_back(bytes[--n]);
    }
}

void PutBig(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back((v >> (8 * i)) & 0xFF);
    }
}

}  // namespace

std::vector<uint8_t> MidiSong::Bytes() const {
    std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
    PutBig(out, 6, 4);
    PutBig(out, 1, 2);
    PutBig(out, static_cast<uint32_t>(tracks_.size()), 2);
    PutBig(out, kTicksPerQuarter, 2);
    for (std::vector<Event> events : tracks_) {
        std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::vector<uint8_t> body;
        uint32_t now = 0;
        for (const Event& e : events) {
            PutVarLen(body, e.tick - now);
            now = e.tick;
            body.insert(body.end(), e.data.begin(), e.data.end());
        }
        body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        PutBig(out, static_cast<uint32_t>(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

double MidiSong::Seconds() const {
    uint32_t last = 0;
    for (const auto& track : tracks_) {
        for (const Event& e : track) {
            last = std::max(last, e.tick);
        }
    }
    std::vector<std::pair<uint32_t, double>> tempos = tempos_;
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    double seconds = 0, bpm = 120;
    uint32_t at = 0;
    for (const auto& [tick, value] : tempos) {
        if (tick >= last) {
            break;
        }
        seconds += (tick - at) / static_cast<double>(kTicksPerQuarter) * 60 / bpm;
        at = tick;
        bpm = value;
    }
    return seconds + (last - at) / static_cast<double>(kTicksPerQuarter) * 60 / bpm;
}

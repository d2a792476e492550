#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A Standard MIDI File of format 1 under construction: track 0 carries the
// tempo map, the others the notes. Times are in ticks of kTicksPerQuarter.
class MidiSong {
  public:
    static constexpr int kTicksPerQuarter = 480;

    explicit MidiSong(int trackCount);

    void Name(int track, const std::string& name);
    void TimeSignature(uint32_t tick, int numerator, int denominatorPower);
    void KeySignature(uint32_t tick, int sharps, bool minor);
    void Tempo(uint32_t tick, double beatsPerMinute);
    void Program(int track, int channel, int program);
    void Controller(int track, uint32_t tick, int channel, int controller, int value);
    void Note(int track, uint32_t tick, uint32_t length, int channel, int key, int velocity);

    // The file's bytes, every track sorted by time and closed.
    std::vector<uint8_t> Bytes() const;
    // Play time in seconds by the tempo map up to the last event.
    double Seconds() const;

  private:
    struct Event {
        uint32_t tick;
        int order;  // keeps note-offs before note-ons at one tick, and input order
        std::vector<uint8_t> data;
    };
    void Add(int track, uint32_t tick, int order, std::vector<uint8_t> data);

    std::vector<std::vector<Event>> tracks_;
    std::vector<std::pair<uint32_t, double>> tempos_;
    int sequence_ = 0;
};

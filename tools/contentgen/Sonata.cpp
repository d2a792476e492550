// "Sonata in A minor", first movement (Allegro): our own piece in the
// classical sonata form, written out bar by bar and encoded as MIDI.
#include "tools/contentgen/Sonata.h"

#include <cstdio>
#include <string>
#include <vector>

#include "tools/contentgen/Midi.h"
#include "tools/gen/Noise.h"

namespace {

constexpr int kSixteenth = MidiSong::kTicksPerQuarter / 4;
constexpr int kBar = 16 * kSixteenth;

// Left-hand figures: Alberti bass, block chords, a pedal on E, a held chord.
enum class Figure { Alberti, Block, Pedal, Held };

struct Bar {
    const char* melody;  // e.g. "E5e A5q. R s"; w h q e s, '.' dots
    const char* chords;  // one or two chords, e.g. "Am E7"
    Figure figure;
    int loudness;  // right-hand velocity
    bool legato;
};

// clang-format off
const Bar kBars[] = {
    // Exposition, first theme.
    {"E5e A5e A5q C6e B5e A5e G#5e", "Am Am", Figure::Alberti, 84, false},
    {"A5q E5q C5q A4q", "Am Am", Figure::Alberti, 80, false},
    {"D5e F5e F5q A5e G5e F5e E5e", "Dm Dm", Figure::Alberti, 82, false},
    {"F5e E5e D5e C5e B4q E4q", "F E", Figure::Alberti, 78, false},
    {"E5e A5e A5q C6e B5e A5e C6e", "Am Am", Figure::Alberti, 86, false},
    {"E6q D6e C6e B5e A5e G#5e A5e", "Am E", Figure::Alberti, 90, false},
    {"F5e D6e C6e B5e A5q G#5q", "Dm E", Figure::Alberti, 88, false},
    {"A5q E5q A4h", "Am Am", Figure::Block, 84, false},
    // Transition towards C major.
    {"C6e B5e A5e G5e F5e E5e D5e C5e", "F G", Figure::Alberti, 80, false},
    {"B4e D5e G5e F5e E5e D5e C5e B4e", "G G7", Figure::Alberti, 80, false},
    {"C5e E5e G5e C6e B5e G5e D5e F5e", "C G7", Figure::Alberti, 82, false},
    {"E5q C5q G4h", "C C", Figure::Block, 76, false},
    // Second theme, in C major.
    {"G5h. E5e F5e", "C C", Figure::Alberti, 70, true},
    {"G5q C6q B5q. A5e", "C G", Figure::Alberti, 72, true},
    {"A5h G5q F5q", "F G7", Figure::Alberti, 70, true},
    {"E5h D5q G4q", "C G", Figure::Alberti, 66, true},
    {"G5h. E5e F5e", "C C", Figure::Alberti, 72, true},
    {"G5q E6q D6q. C6e", "C G", Figure::Alberti, 76, true},
    {"B5q A5q G5q F5q", "G7 G7", Figure::Alberti, 74, true},
    {"C6h G5q E5q", "C C", Figure::Alberti, 70, true},
    // Closing.
    {"C5e E5e G5e C6e E6e C6e G5e E5e", "C C", Figure::Alberti, 84, false},
    {"F5e A5e C6e F6e D6e B5e G5e F5e", "F G7", Figure::Alberti, 86, false},
    {"E5e G5e C6e E6e D6e B5e G5e B5e", "C G", Figure::Alberti, 86, false},
    {"C6q G5q C5h", "C C", Figure::Block, 90, false},
    // Development: the first theme in D minor and E minor.
    {"A4e D5e D5q F5e E5e D5e C#5e", "Dm A7", Figure::Alberti, 80, false},
    {"D5q A4q F4q D4q", "Dm Dm", Figure::Alberti, 78, false},
    {"G4e Bb4e Bb4q D5e C5e Bb4e A4e", "Gm Gm", Figure::Alberti, 80, false},
    {"Bb4e A4e G4e F4e E4q A4q", "Gm A7", Figure::Alberti, 82, false},
    {"B4e E5e E5q G5e F#5e E5e D#5e", "Em B7", Figure::Alberti, 84, false},
    {"E5q B4q G4q E4q", "Em Em", Figure::Alberti, 82, false},
    {"A4e C5e C5q E5e D5e C5e B4e", "Am Am", Figure::Alberti, 84, false},
    {"C5e B4e A4e G4e F#4q B4q", "Am B7", Figure::Alberti, 86, false},
    // Falling sequence towards the dominant.
    {"E5s F5s E5s D5s C5e E5e A5s G5s F5s E5s D5e F5e", "Am Dm", Figure::Block, 90, false},
    {"D5s E5s D5s C5s B4e D5e G5s F5s E5s D5s C5e E5e", "G C", Figure::Block, 88, false},
    {"C5s D5s C5s B4s A4e C5e F5s E5s D5s C5s B4e D5e", "F Bdim", Figure::Block, 86, false},
    {"B4s C5s B4s A4s G#4e B4e E5h", "E E", Figure::Block, 84, false},
    // Over a pedal on E.
    {"G#4e B4e E5e G#5e B5e G#5e E5e B4e", "E E", Figure::Pedal, 80, false},
    {"A4e C5e E5e A5e C6e A5e E5e C5e", "Am Am", Figure::Pedal, 84, false},
    {"F5e D5e B4e G#4e F5e D5e B4e G#4e", "E7 E7", Figure::Pedal, 88, false},
    {"E5h R q E5q", "E E", Figure::Held, 74, false},
    // Recapitulation, first theme.
    {"E5e A5e A5q C6e B5e A5e G#5e", "Am Am", Figure::Alberti, 84, false},
    {"A5q E5q C5q A4q", "Am Am", Figure::Alberti, 80, false},
    {"D5e F5e F5q A5e G5e F5e E5e", "Dm Dm", Figure::Alberti, 82, false},
    {"F5e E5e D5e C5e B4q E4q", "F E", Figure::Alberti, 78, false},
    {"E5e A5e A5q C6e B5e A5e C6e", "Am Am", Figure::Alberti, 86, false},
    {"E6q D6e C6e B5e A5e G#5e A5e", "Am E", Figure::Alberti, 90, false},
    {"F5e D6e C6e B5e A5q G#5q", "Dm E", Figure::Alberti, 88, false},
    {"A5q E5q A4h", "Am Am", Figure::Block, 84, false},
    // Transition, now staying at home.
    {"F5e E5e D5e C5e B4e A4e G#4e B4e", "Dm E", Figure::Alberti, 80, false},
    {"C5e E5e A5e G#5e F#5e E5e D5e C#5e", "Am E7", Figure::Alberti, 80, false},
    {"E5e A5e C#6e A5e E5e C#5e B4e D5e", "A E7", Figure::Alberti, 82, false},
    {"C#5q A4q E4h", "A A", Figure::Block, 76, false},
    // Second theme, in A major.
    {"E5h. C#5e D5e", "A A", Figure::Alberti, 70, true},
    {"E5q A5q G#5q. F#5e", "A E", Figure::Alberti, 72, true},
    {"F#5h E5q D5q", "D E7", Figure::Alberti, 70, true},
    {"C#5h B4q E4q", "A E", Figure::Alberti, 66, true},
    {"E5h. C#5e D5e", "A A", Figure::Alberti, 72, true},
    {"E5q C#6q B5q. A5e", "A E", Figure::Alberti, 76, true},
    {"G#5q F#5q E5q D5q", "E7 E7", Figure::Alberti, 74, true},
    {"A5h E5q C#5q", "A A", Figure::Alberti, 70, true},
    // Closing.
    {"A4e C#5e E5e A5e C#6e A5e E5e C#5e", "A A", Figure::Alberti, 84, false},
    {"D5e F#5e A5e D6e B5e G#5e E5e D5e", "D E7", Figure::Alberti, 86, false},
    {"C#5e E5e A5e C#6e B5e G#5e E5e G#5e", "A E", Figure::Alberti, 86, false},
    {"A5q E5q A4h", "A A", Figure::Block, 88, false},
    // Coda, back in the minor.
    {"E5e A5e C6e E6e D6e C6e B5e A5e", "Am E7", Figure::Alberti, 90, false},
    {"G#5e A5e B5e C6e D6e E6e F6e D6e", "E Dm", Figure::Alberti, 92, false},
    {"C6e A5e E5e C5e B4e G#4e E4e G#4e", "Am E", Figure::Alberti, 90, false},
    {"A4q C5q E5q A5q", "Am Am", Figure::Block, 94, false},
    {"F5h E5h", "Dm E", Figure::Block, 88, true},
    {"A4w", "Am", Figure::Held, 84, true},
};
// clang-format on

// Tempo changes: bar (from 0), beat within it, beats per minute.
struct TempoMark {
    int bar;
    int beat;
    double bpm;
};
const TempoMark kTempi[] = {
    {0, 0, 132},  {12, 0, 124}, {20, 0, 132}, {38, 0, 124}, {39, 0, 108}, {39, 2, 88}, {40, 0, 132},
    {52, 0, 124}, {60, 0, 132}, {67, 0, 124}, {68, 0, 110}, {68, 2, 96},  {69, 0, 80},
};

int PitchClass(char letter) {
    static const int kClasses[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    return kClasses[letter - 'A'];
}

struct Token {
    int key;  // -1 for a rest
    int sixteenths;
};

bool ParseMelody(const std::string& text, std::vector<Token>* out) {
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        Token t{-1, 0};
        if (text[i] == 'R') {
            ++i;
            while (i < text.size() && text[i] == ' ') {
                ++i;
            }
        } else {
            int pc = PitchClass(text[i++]);
            if (text[i] == '#') {
                ++pc;
                ++i;
            } else if (text[i] == 'b') {
                --pc;
                ++i;
            }
            t.key = 12 * (text[i++] - '0' + 1) + pc;
        }
        switch (text[i++]) {
            case 'w':
                t.sixteenths = 16;
                break;
            case 'h':
                t.sixteenths = 8;
                break;
            case 'q':
                t.sixteenths = 4;
                break;
            case 'e':
                t.sixteenths = 2;
                break;
            case 's':
                t.sixteenths = 1;
                break;
            default:
                return false;
        }
        if (i < text.size() && text[i] == '.') {
            t.sixteenths += t.sixteenths / 2;
            ++i;
        }
        out->push_back(t);
    }
    return true;
}

struct Chord {
    int root;  // pitch class
    int third, fifth;
};

Chord ParseChord(const std::string& name) {
    Chord c{PitchClass(name[0]), 4, 7};
    size_t i = 1;
    if (i < name.size() && (name[i] == '#' || name[i] == 'b')) {
        c.root += name[i] == '#' ? 1 : -1;
        ++i;
    }
    c.root = (c.root + 12) % 12;
    const std::string kind = name.substr(i);
    if (kind == "m") {
        c.third = 3;
    } else if (kind == "dim") {
        c.third = 3;
        c.fifth = 6;
    }
    return c;
}

std::vector<Chord> Chords(const char* text) {
    std::vector<Chord> out;
    std::string word;
    for (const char* p = text;; ++p) {
        if (*p == ' ' || *p == '\0') {
            if (!word.empty()) {
                out.push_back(ParseChord(word));
            }
            word.clear();
            if (*p == '\0') {
                break;
            }
        } else {
            word += *p;
        }
    }
    return out;
}

void LeftHand(MidiSong& song, uint32_t at, const Bar& bar, int barIndex) {
    const std::vector<Chord> chords = Chords(bar.chords);
    const uint32_t span = kBar / static_cast<uint32_t>(chords.size());
    const int velocity = bar.loudness - 22;
    for (size_t k = 0; k < chords.size(); ++k) {
        const Chord& c = chords[k];
        const uint32_t start = at + span * static_cast<uint32_t>(k);
        int low = 48 + c.root;  // C3 .. B3
        if (low > 55) {
            low -= 12;
        }
        const int bass = low - 12;
        const int eighth = 2 * kSixteenth;
        switch (bar.figure) {
            case Figure::Alberti: {
                const int pattern[4] = {low, low + c.fifth, low + c.third + 12, low + c.fifth};
                for (uint32_t e = 0; e * eighth < span; ++e) {
                    const int accent = e == 0 ? 6 : 0;
                    song.Note(2, start + e * eighth, eighth - 20, 0, pattern[e % 4],
                              velocity + accent + static_cast<int>(Hash01(barIndex, e, k) * 4));
                }
                break;
            }
            case Figure::Block: {
                const uint32_t quarter = 4 * kSixteenth;
                song.Note(2, start, quarter - 30, 0, bass, velocity + 8);
                for (uint32_t q = 1; q * quarter < span; ++q) {
                    for (int key : {low + c.third, low + c.fifth, low + 12}) {
                        song.Note(2, start + q * quarter, quarter - 40, 0, key, velocity);
                    }
                }
                break;
            }
            case Figure::Pedal:
                for (uint32_t e = 0; e * eighth < span; ++e) {
                    song.Note(2, start + e * eighth, eighth - 24, 0, e % 2 == 0 ? 40 : 52,
                              velocity + (e % 2 == 0 ? 6 : 0));
                }
                break;
            case Figure::Held:
                for (int key : {bass, low + c.fifth - 12, low, low + c.third}) {
                    song.Note(2, start, span - 60, 0, key, velocity + 4);
                }
                break;
        }
    }
}

}  // namespace

bool ComposeSonata(std::vector<uint8_t>* file, double* seconds) {
    MidiSong song(3);
    song.Name(0, "Sonata in A minor, I. Allegro");
    song.Name(1, "Right hand");
    song.Name(2, "Left hand");
    song.TimeSignature(0, 4, 2);
    song.KeySignature(0, 0, true);
    for (const TempoMark& m : kTempi) {
        song.Tempo(m.bar * kBar + m.beat * 4 * kSixteenth, m.bpm);
    }
    song.Program(1, 0, 0);  // both hands: acoustic grand piano on channel 1
    int index = 0;
    for (const Bar& bar : kBars) {
        const uint32_t at = static_cast<uint32_t>(index) * kBar;
        std::vector<Token> notes;
        if (!ParseMelody(bar.melody, &notes)) {
            std::fprintf(stderr, "contentgen: bar %d: bad melody\n", index + 1);
            return false;
        }
        int used = 0;
        for (const Token& t : notes) {
            if (t.key >= 0) {
                const uint32_t len = t.sixteenths * kSixteenth;
                const uint32_t sounding = bar.legato ? len - 12 : len * 85 / 100;
                const int accent = used % 8 == 0 ? 6 : 0;
                song.Note(1, at + used * kSixteenth, sounding, 0, t.key,
                          bar.loudness + accent + static_cast<int>(Hash01(index, used, 7) * 6) - 3);
            }
            used += t.sixteenths;
        }
        if (used != 16) {
            std::fprintf(stderr, "contentgen: bar %d holds %d sixteenths\n", index + 1, used);
            return false;
        }
        if (bar.legato) {
            // The sustain pedal, changed with the bar.
            song.Controller(1, at + 20, 0, 64, 100);
            song.Controller(1, at + kBar - 10, 0, 64, 0);
        }
        LeftHand(song, at, bar, index);
        ++index;
    }
    *file = song.Bytes();
    *seconds = song.Seconds();
    return true;
}

// quorvax-song-length SONG.MID: prints the song's length in milliseconds as
// the game's own MIDI reader reports it (the length after which the game
// starts the song again), for rendering the song to a loop at build time.
#include <cstdio>

#include "platform/MidiFile.h"
#include "platform/MidiSong.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvax-song-length SONG.MID\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "quorvax-song-length: cannot open %s\n", argv[1]);
        return 1;
    }
    MidiSong song;
    const int result = MidiFile::Read(file, song);
    std::fclose(file);
    if (result != MidiFile::kOk || song.LengthMs() == 0) {
        std::fprintf(stderr, "quorvax-song-length: %s: not a song (%d)\n", argv[1], result);
        return 1;
    }
    std::printf("%u\n", song.LengthMs());
    return 0;
}

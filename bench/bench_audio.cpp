// The music's cost: the audio callback per second of audio for the game's
// song, and the start-up time of the player (SoundFont opened, song started).
// And the effects': the longest one converted to the device's rate, as at
// its first play, inside that tick.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <time.h>
#include <unistd.h>

#include "audio/MusicPlayer.h"
#include "audio/WaveFile.h"
#include "platform/linux/MidiSoundFont.h"
#include "platform/virtual/AudioOutputMemory.h"
#include "platform/virtual/VirtualSystem.h"

namespace {

constexpr int kRate = 48000;
constexpr int kCallbackFrames = 1024;  // what the SDL device asks for

// The directory holding the game's song, made the working directory so the
// player finds it as the game does.
bool EnterGameDir() {
    const char* env = std::getenv("QUORVAX_GAME_DIR");
    for (const char* dir : {env, ".", "game", "../game"}) {
        if (dir == nullptr) {
            continue;
        }
        std::FILE* f = std::fopen((std::string(dir) + "/SONAT_A1.MID").c_str(), "rb");
        if (f != nullptr) {
            std::fclose(f);
            return chdir(dir) == 0;
        }
    }
    return false;
}

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

bool Ready(benchmark::State& state) {
    if (!EnterGameDir()) {
        state.SkipWithError("SONAT_A1.MID not found (set QUORVAX_GAME_DIR)");
        return false;
    }
    if (FindSoundFont().empty()) {
        state.SkipWithError("no SoundFont installed");
        return false;
    }
    return true;
}

// One second of audio per iteration, pulled in device-sized callbacks, with
// the song restarted by the player's poll as in the game.
void BM_MusicCallbackPerAudioSecond(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    VirtualSystem sys(VirtualSystem::Options{640, 480, false});
    SetSys(&sys);
    AudioOutputMemory output(kRate);
    SetAudio(&output);
    auto player = std::make_unique<MusicPlayer>();
    player->Create();
    player->Start();
    double cpu = 0.0;
    double wall = 0.0;
    for (auto _ : state) {
        const double c0 = ThreadCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(output.Pull(kRate, kCallbackFrames).data());
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpu += ThreadCpuSeconds() - c0;
        sys.AdvanceTime(1000);  // the poll, outside the audio thread's time
    }
    // Share of one core the callback needs: its CPU time per second of audio
    // (and the wall time, which a busy machine inflates).
    const double audioSeconds = static_cast<double>(state.iterations());
    state.counters["core_percent"] = 100.0 * cpu / audioSeconds;
    state.counters["core_percent_wall"] = 100.0 * wall / audioSeconds;
    state.counters["song_ms"] = player->songLengthMs;
    player.reset();
    SetAudio(nullptr);
    SetSys(nullptr);
}
BENCHMARK(BM_MusicCallbackPerAudioSecond)->Unit(benchmark::kMillisecond)->Iterations(150);

// Game::Init's music step on a fresh device: the song read, the SoundFont
// found and loaded into a new synthesiser, the song started.
void BM_OpenSoundFontAndStartSong(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    VirtualSystem sys(VirtualSystem::Options{640, 480, false});
    SetSys(&sys);
    for (auto _ : state) {
        AudioOutputMemory output(kRate);
        SetAudio(&output);
        auto player = std::make_unique<MusicPlayer>();
        player->Create();
        player->Start();
        benchmark::DoNotOptimize(player->midiOut);
        state.PauseTiming();
        if (player->midiOut == 0 || !sys.messages.empty()) {
            state.SkipWithError("the song did not start");
        }
        player.reset();
        SetAudio(nullptr);
        state.ResumeTiming();
    }
    SetSys(nullptr);
}
BENCHMARK(BM_OpenSoundFontAndStartSong)->Unit(benchmark::kMillisecond)->Iterations(10);

// SoundEffects at the first play of "over.wav" (two seconds at 22,050 Hz):
// the wave made over for a 48 kHz device.
void BM_LongestEffectToDeviceRate(benchmark::State& state) {
    if (!EnterGameDir()) {
        state.SkipWithError("the game's files not found (set QUORVAX_GAME_DIR)");
        return;
    }
    std::FILE* file = std::fopen("over.wav", "rb");
    WaveFile wave;
    const bool read = file != nullptr && wave.Read(file);
    if (file != nullptr) {
        std::fclose(file);
    }
    if (!read) {
        state.SkipWithError("over.wav not readable");
        return;
    }
    for (auto _ : state) {
        const AudioClip clip = wave.ToClip(kRate);
        benchmark::DoNotOptimize(clip.samples.data());
    }
    state.counters["sound_seconds"] = static_cast<double>(wave.Frames()) / wave.SampleRate();
}
BENCHMARK(BM_LongestEffectToDeviceRate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

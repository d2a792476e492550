// The MIDI synthesiser on Windows is the system's, behind the MIDI mapper:
// here MidiSynth is the sequencer on a thread of its own, sending the
// song's messages to the winmm device at their times.
#include "platform/MidiSynth.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/MidiSink.h"
#include "platform/win32/WinMidi.h"

namespace {
// How often the player thread looks at the clock (with the 1 ms timer
// resolution the game asks for, it wakes about this often).
constexpr auto kWake = std::chrono::milliseconds(1);
// A thread held up for longer than this skips ahead instead of rushing notes.
constexpr uint64_t kMaxCatchUpFrames = 250;
}  // namespace

struct MidiSynth::Engine : public MidiSink {
    void Send(const MidiEvent& e) override {
        WinMidiSend(device, static_cast<uint32_t>(e.status | e.data1 << 8 | e.data2 << 16));
    }
    void Render(float* out, int frames) override {
        std::fill(out, out + static_cast<size_t>(frames) * 2, 0.0f);
    }

    std::mutex mutex;
    std::condition_variable wake;
    std::thread thread;
    bool quit = false;
    bool restartClock = false;
    uintptr_t device = 0;  // where the playing song goes
};

std::unique_ptr<MidiSynth> MidiSynth::Create(int sampleRate, const std::string& /*soundFont*/) {
    return std::unique_ptr<MidiSynth>(new MidiSynth(std::make_unique<Engine>(), sampleRate, 1));
}

MidiSynth::MidiSynth(std::unique_ptr<Engine> engine, int sampleRate, int blockFrames)
    : engine_(std::move(engine)), sequencer_(sampleRate, blockFrames) {
    Engine& e = *engine_;
    e.thread = std::thread([this, &e, sampleRate] {
        using Clock = std::chrono::steady_clock;
        std::vector<float> scratch;
        Clock::time_point last = Clock::now();
        std::unique_lock lock(e.mutex);
        while (!e.quit) {
            if (!sequencer_.Playing()) {
                e.wake.wait(lock, [&] { return e.quit || sequencer_.Playing(); });
                last = Clock::now();
                continue;
            }
            const Clock::time_point now = Clock::now();
            if (e.restartClock) {
                e.restartClock = false;
                last = now;
            }
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - last);
            uint64_t frames = static_cast<uint64_t>(elapsed.count()) * sampleRate / 1000000;
            if (frames > 0) {
                last += std::chrono::microseconds(frames * 1000000 / sampleRate);
                frames = std::min(frames, kMaxCatchUpFrames);
                scratch.resize(frames * 2);
                sequencer_.Render(e, scratch.data(), static_cast<int>(frames));
            }
            e.wake.wait_for(lock, kWake);
        }
    });
}

MidiSynth::~MidiSynth() {
    {
        std::lock_guard lock(engine_->mutex);
        engine_->quit = true;
    }
    engine_->wake.notify_all();
    engine_->thread.join();
}

void MidiSynth::Play(std::shared_ptr<const MidiSong> song, uint64_t fromUs, uint32_t handle) {
    Stop();
    {
        std::lock_guard lock(engine_->mutex);
        engine_->device = WinMidiDeviceOf(handle);
        sequencer_.Start(std::move(song), fromUs);
        engine_->restartClock = true;
        playingHandle_ = handle;
    }
    engine_->wake.notify_all();
}

void MidiSynth::Stop() {
    std::lock_guard lock(engine_->mutex);
    sequencer_.Stop();
    playingHandle_ = 0;
    WinMidiSilence(engine_->device);
}

// A freshly opened device is reset by midiOutOpen itself.
void MidiSynth::ResetChannels() {}

// Nothing is mixed on Windows: the system's synthesiser makes the sound.
void MidiSynth::Render(float* out, int frames) {
    std::fill(out, out + static_cast<size_t>(frames) * 2, 0.0f);
}

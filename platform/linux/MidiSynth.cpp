#include "platform/MidiSynth.h"

#include <fluidsynth.h>

#include <cstdio>
#include <utility>

#include "platform/MidiSink.h"

namespace {
// FluidSynth's default of 0.2 leaves the game's song some 30 dB under the
// effects; at 0.8 it sits behind them, still far from full scale.
constexpr double kSynthGain = 0.8;
}  // namespace

// FluidSynth's objects, and the sink that turns song events into its calls.
struct MidiSynth::Engine : public MidiSink {
    ~Engine() override {
        if (synth != nullptr) {
            delete_fluid_synth(synth);
        }
        if (settings != nullptr) {
            delete_fluid_settings(settings);
        }
    }

    void Send(const MidiEvent& e) override {
        const int ch = e.status & 0x0F;
        switch (e.status & 0xF0) {
            case 0x80:
                fluid_synth_noteoff(synth, ch, e.data1);
                break;
            case 0x90:
                if (e.data2 == 0) {
                    fluid_synth_noteoff(synth, ch, e.data1);
                } else {
                    fluid_synth_noteon(synth, ch, e.data1, e.data2);
                }
                break;
            case 0xA0:
                fluid_synth_key_pressure(synth, ch, e.data1, e.data2);
                break;
            case 0xB0:
                fluid_synth_cc(synth, ch, e.data1, e.data2);
                break;
            case 0xC0:
                fluid_synth_program_change(synth, ch, e.data1);
                break;
            case 0xD0:
                fluid_synth_channel_pressure(synth, ch, e.data1);
                break;
            case 0xE0:
                fluid_synth_pitch_bend(synth, ch, e.data1 | e.data2 << 7);
                break;
            default:
                break;
        }
    }

    void Render(float* out, int frames) override {
        fluid_synth_write_float(synth, frames, out, 0, 2, out, 1, 2);
    }

    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
};

std::unique_ptr<MidiSynth> MidiSynth::Create(int sampleRate, const std::string& soundFontPath) {
    auto fluid = std::make_unique<Engine>();
    fluid->settings = new_fluid_settings();
    if (fluid->settings == nullptr) {
        std::fprintf(stderr, "quorvax: no music: cannot set up the synthesiser\n");
        return nullptr;
    }
    fluid_settings_setnum(fluid->settings, "synth.sample-rate", sampleRate);
    fluid_settings_setnum(fluid->settings, "synth.gain", kSynthGain);
    // Only the samples of the instruments in use are read: a large General
    // MIDI SoundFont would otherwise put all its samples in memory.
    fluid_settings_setint(fluid->settings, "synth.dynamic-sample-loading", 1);
    // Every call is made under the audio lock already.
    fluid_settings_setint(fluid->settings, "synth.threadsafe-api", 0);
    fluid->synth = new_fluid_synth(fluid->settings);
    if (fluid->synth == nullptr) {
        std::fprintf(stderr, "quorvax: no music: cannot set up the synthesiser\n");
        return nullptr;
    }
    if (fluid_synth_sfload(fluid->synth, soundFontPath.c_str(), 1) == FLUID_FAILED) {
        std::fprintf(stderr, "quorvax: no music: cannot load the SoundFont %s\n",
                     soundFontPath.c_str());
        return nullptr;
    }
    const int block = fluid_synth_get_internal_bufsize(fluid->synth);
    return std::unique_ptr<MidiSynth>(new MidiSynth(std::move(fluid), sampleRate, block));
}

MidiSynth::MidiSynth(std::unique_ptr<Engine> fluid, int sampleRate, int blockFrames)
    : engine_(std::move(fluid)), sequencer_(sampleRate, blockFrames) {}

MidiSynth::~MidiSynth() = default;

void MidiSynth::Play(std::shared_ptr<const MidiSong> song, uint64_t fromUs, uint32_t handle) {
    Stop();
    sequencer_.Start(std::move(song), fromUs);
    playingHandle_ = handle;
}

void MidiSynth::Stop() {
    sequencer_.Stop();
    playingHandle_ = 0;
    const int channels = fluid_synth_count_midi_channels(engine_->synth);
    for (int ch = 0; ch < channels; ++ch) {
        fluid_synth_cc(engine_->synth, ch, 64, 0);  // a held pedal would keep notes on
    }
    fluid_synth_all_notes_off(engine_->synth, -1);
}

void MidiSynth::ResetChannels() {
    fluid_synth_t* s = engine_->synth;
    const int channels = fluid_synth_count_midi_channels(s);
    for (int ch = 0; ch < channels; ++ch) {
        fluid_synth_cc(s, ch, 121, 0);  // reset all controllers
        fluid_synth_cc(s, ch, 0, 0);
        fluid_synth_cc(s, ch, 32, 0);
        fluid_synth_program_change(s, ch, 0);
        fluid_synth_cc(s, ch, 7, 100);
        fluid_synth_cc(s, ch, 10, 64);
        fluid_synth_cc(s, ch, 11, 127);
        fluid_synth_pitch_bend(s, ch, 8192);
    }
}

void MidiSynth::Render(float* out, int frames) {
    sequencer_.Render(*engine_, out, frames);
}

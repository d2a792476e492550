#include "platform/MidiSequencer.h"

#include <algorithm>
#include <utility>

namespace {
bool IsNote(const MidiEvent& e) {
    const int kind = e.status & 0xF0;
    return kind == 0x80 || kind == 0x90 || kind == 0xA0;
}
}  // namespace

MidiSequencer::MidiSequencer(int sampleRate, int blockFrames)
    : sampleRate_(sampleRate), block_(static_cast<uint64_t>(std::max(blockFrames, 1))) {}

void MidiSequencer::Start(std::shared_ptr<const MidiSong> song, uint64_t fromUs) {
    song_ = std::move(song);
    if (!song_) {
        return;
    }
    fromUs_ = fromUs;
    // On a block boundary, so an event at the start falls exactly there.
    origin_ = (clock_ + block_ - 1) / block_ * block_;
    const auto& events = song_->events;
    next_ = static_cast<size_t>(
        std::lower_bound(events.begin(), events.end(), fromUs,
                         [](const MidiEvent& e, uint64_t t) { return e.timeUs < t; }) -
        events.begin());
    chaseEnd_ = next_;
    chased_ = 0;
}

void MidiSequencer::Stop() {
    song_.reset();
}

uint64_t MidiSequencer::EventSample(const MidiEvent& event) const {
    const uint64_t us = event.timeUs - fromUs_;
    return origin_ + (us * static_cast<uint64_t>(sampleRate_) + 500000) / 1000000;
}

uint64_t MidiSequencer::SendSample(const MidiEvent& event) const {
    return (EventSample(event) + block_ / 2) / block_ * block_;
}

void MidiSequencer::Render(MidiSink& sink, float* out, int frames) {
    if (song_) {
        for (; chased_ < chaseEnd_; ++chased_) {
            if (!IsNote(song_->events[chased_])) {
                sink.Send(song_->events[chased_]);
            }
        }
    }
    while (frames > 0) {
        uint64_t until = clock_ + static_cast<uint64_t>(frames);
        if (song_) {
            const auto& events = song_->events;
            while (next_ < events.size() && SendSample(events[next_]) <= clock_) {
                sink.Send(events[next_++]);
            }
            if (next_ < events.size()) {
                until = std::min(until, SendSample(events[next_]));
            }
        }
        const int n = static_cast<int>(until - clock_);
        sink.Render(out, n);
        out += static_cast<size_t>(n) * 2;
        frames -= n;
        clock_ = until;
    }
}

#include "app/Playback.h"

#include <algorithm>
#include <fstream>

#include "platform/Dialog.h"
#include "platform/Keys.h"
#include "platform/System.h"

bool Playback::Load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read '" + path + "'";
        return false;
    }
    std::vector<ScriptEvent> events;
    std::string why;
    if (!ParseReplayScript(in, events, why, &info_)) {
        error = path + ": " + why;
        return false;
    }
    // A playback shows a recorded game, which says what it was made with and
    // where it ends; an empty file or a hand-written script is none.
    if (!info_.isRecording) {
        error = path + ": line 1: not a recording (it does not begin with \"" +
                RecordingInfo::kMagic + "\")";
        return false;
    }
    events_ = std::move(events);
    return true;
}

bool Playback::OnInput(const Message& msg) {
    if (feeding_) {
        return true;
    }
    if (msg.kind == MessageKind::Text) {
        return false;
    }
    if (msg.key == VK_ESCAPE && msg.kind == MessageKind::KeyDown) {
        // Closes what is open now; the next tick ends the rest.
        stopped_ = true;
        return true;
    }
    return msg.key == VK_F12;
}

bool Playback::Finished() const {
    return !stopped_ && next_ == events_.size() && !info_.finalState.empty() &&
           lastTick_ > info_.finalTick;
}

void Playback::BeforeTick(uint64_t tick, Dialog& main) {
    lastTick_ = std::max(lastTick_, tick);
    const bool over = info_.finalTick != 0 && tick > info_.finalTick && next_ == events_.size();
    // Restored, not cleared: a dialog opened by this input feeds its own ticks inside.
    const bool wasFeeding = feeding_;
    feeding_ = true;
    if (stopped_ || over) {
        // As the window manager's quit ends a game: the innermost dialog
        // first (a name dialog left open stays empty), then the main window.
        Message escape;
        escape.key = VK_ESCAPE;
        Sys().DeliverInput(escape);
        main.OnCancel();
    } else {
        while (next_ < events_.size() && events_[next_].tick <= tick && !main.IsEnded()) {
            Sys().DeliverInput(events_[next_++].msg);
        }
    }
    feeding_ = wasFeeding;
}

std::string PlaybackEndWords(bool finished, const std::string& state, const std::string& recorded) {
    if (!finished) {
        const size_t at = state.find("tick=");
        const size_t end = at == std::string::npos ? at : state.find(' ', at);
        return "Playback stopped at tick " +
               (at == std::string::npos ? "?" : state.substr(at + 5, end - at - 5));
    }
    if (state == recorded) {
        return "Played to the end: the game ended as it was recorded";
    }
    return "Played to the end, but the game ended otherwise than it was recorded: " +
           StateDifferences(state, recorded);
}

std::string PlaybackRefusedWords(const std::string& why) {
    return "Not a recording: " + why;
}

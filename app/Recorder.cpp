#include "app/Recorder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/MainWindow.h"
#include "app/RecordingInfo.h"
#include "app/ReplayScript.h"
#include "platform/Keys.h"
#include "platform/Message.h"

Recorder::~Recorder() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool Recorder::Open(const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    path_ = path;
    return true;
}

void Recorder::Start(const MainWindow& window) {
    window_ = &window;
    Write(RecordingInfo::OfThisGame().FormatHeader());
}

bool Recorder::OnInput(const Message& msg) {
    if (window_ == nullptr) {
        return true;
    }
    const std::string tick = std::to_string(window_->Ticks() + 1);
    if (msg.kind == MessageKind::Text) {
        // Scripts hold text lines; typing never brings control characters.
        std::string text;
        for (const char c : msg.text) {
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
                text += c;
            }
        }
        if (!text.empty()) {
            Write(tick + " text " + text + "\n");
        }
        return true;
    }
    // An auto-repeated F1 opens nothing; written plainly it would.
    if (msg.key == VK_F1 && msg.repeat) {
        return true;
    }
    const std::string key = ReplayKeyName(msg.key);
    if (key.empty()) {
        return true;
    }
    const bool down = msg.kind == MessageKind::KeyDown;
    if (!down && !written_.test(static_cast<size_t>(msg.key))) {
        return true;
    }
    written_.set(static_cast<size_t>(msg.key), down);
    Write(tick + (down ? " down " : " up ") + key + "\n");
    return true;
}

void Recorder::Finish(const std::string& state) {
    Write(RecordingInfo::FormatFinal(state));
}

std::string Recorder::UpTo(uint64_t tick, const std::string& state) const {
    // Event lines begin with their tick, which never goes back.
    size_t end = 0;
    while (end < text_.size()) {
        const size_t next = text_.find('\n', end);
        if (next == std::string::npos) {
            break;
        }
        if (text_[end] != '#' && std::strtoull(text_.c_str() + end, nullptr, 10) > tick) {
            break;
        }
        end = next + 1;
    }
    return text_.substr(0, end) + RecordingInfo::FormatFinal(state);
}

void Recorder::Write(const std::string& text) {
    text_ += text;
    if (file_ == nullptr || failed_) {
        return;
    }
    if (std::fputs(text.c_str(), file_) < 0 || std::fflush(file_) != 0) {
        // Said once; the game goes on unrecorded rather than stopping the player.
        std::fprintf(stderr, "quorvax: recording to '%s' failed: %s\n", path_.c_str(),
                     std::strerror(errno));
        failed_ = true;
    }
}

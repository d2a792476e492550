#include "app/Submitter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/FileSystem.h"

namespace {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (u < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

Submitter::Submitter(std::unique_ptr<HttpClient> http, std::string url, std::string player,
                     std::string outboxPath)
    : http_(std::move(http)),
      url_(url.empty() || url.back() != '/' ? url : url.substr(0, url.size() - 1)),
      player_(std::move(player)),
      outbox_(std::move(outboxPath)) {
    worker_ = std::thread([this] { Run(); });
}

Submitter::~Submitter() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

std::string Submitter::Body(const std::string& player, const std::string& recording,
                            const std::string& token) {
    return "{\"name\": " + JsonString(player) + ", \"recording\": " + JsonString(recording) +
           (token.empty() ? "" : ", \"token\": " + JsonString(token)) + "}";
}

// Only the flat answers of the table's API: a number or a string with
// simple escapes.
std::string Submitter::JsonField(const std::string& json, const std::string& name) {
    size_t at = json.find("\"" + name + "\"");
    if (at == std::string::npos || (at = json.find(':', at)) == std::string::npos) {
        return "";
    }
    at = json.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string::npos) {
        return "";
    }
    std::string value;
    if (json[at] != '"') {
        const size_t end = json.find_first_of(",} \t\r\n", at);
        return json.substr(at, end == std::string::npos ? std::string::npos : end - at);
    }
    for (size_t i = at + 1; i < json.size() && json[i] != '"'; ++i) {
        if (json[i] == '\\' && i + 1 < json.size()) {
            ++i;
        }
        value += json[i];
    }
    return value;
}

void Submitter::GameStarted() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        token_.clear();
        tokenWanted_ = true;
    }
    wake_.notify_all();
}

void Submitter::Submit(const std::string& recording) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        WriteOutbox(ReadOutbox() + Body(player_, recording, token_) + "\n");
        token_.clear();
        tokenWanted_ = false;
        pending_ = true;
    }
    wake_.notify_all();
}

std::string Submitter::Status() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

void Submitter::WaitIdle() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_ && !tokenWanted_; });
}

std::string Submitter::ReadOutbox() const {
    std::ifstream in(outbox_, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Replaced only once the new file is complete: a crash leaves the old one.
void Submitter::WriteOutbox(const std::string& lines) const {
    if (lines.empty()) {
        std::remove(outbox_.c_str());
        return;
    }
    // Through the system's own replace: a plain rename over an existing
    // file fails on Windows, and the new line would be lost.
    FileSystem::WriteFileAtomically(outbox_.c_str(), [&lines](std::FILE* f) {
        return std::fwrite(lines.data(), 1, lines.size(), f) == lines.size();
    });
}

void Submitter::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        if (tokenWanted_) {
            busy_ = true;
            lock.unlock();
            const HttpResponse r = http_->PostJson(url_ + "/api/tokens", "{}");
            lock.lock();
            busy_ = false;
            // A game that ended meanwhile went without one.
            if (tokenWanted_ && r.status >= 200 && r.status < 300) {
                token_ = JsonField(r.body, "token");
            }
            tokenWanted_ = false;
            continue;
        }
        const std::string lines = pending_ ? ReadOutbox() : std::string();
        const size_t end = lines.find('\n');
        if (end == std::string::npos) {
            pending_ = false;
            idle_.notify_all();
            wake_.wait(lock, [this] { return stop_ || pending_ || tokenWanted_; });
            continue;
        }
        busy_ = true;
        lock.unlock();
        const HttpResponse r = http_->PostJson(url_ + "/api/games", lines.substr(0, end));
        lock.lock();
        busy_ = false;
        // Answered for good (taken, or refused for what it is): out of the
        // outbox. Otherwise it waits there for the next game or start.
        const bool final =
            (r.status >= 200 && r.status < 300) ||
            (r.status >= 400 && r.status < 500 && r.status != 408 && r.status != 429);
        if (final) {
            const std::string now = ReadOutbox();
            WriteOutbox(now.substr(std::min(now.size(), end + 1)));
        } else {
            pending_ = false;
        }
        Answered(r);
    }
    idle_.notify_all();
}

void Submitter::Answered(const HttpResponse& r) {
    if (r.status == 200 || r.status == 201) {
        status_ = "World rank: " + JsonField(r.body, "rank");
    } else if (r.status >= 400 && r.status < 500 && r.status != 408 && r.status != 429) {
        const std::string why = JsonField(r.body, "error");
        status_ = "Not counted: " + (why.empty() ? "HTTP " + std::to_string(r.status) : why);
    } else {
        const std::string why = r.status != 0 ? "HTTP " + std::to_string(r.status) : r.error;
        status_ = "Not sent (" + why + "): kept for later";
    }
}

#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>

#include "app/Settings.h"
#include "platform/AudioOutput.h"
#include "platform/FileSystem.h"
#include "platform/SettingsLocation.h"

namespace {

constexpr const char* kFileName = "settings.toml";
// A settings file is a few hundred bytes; anything this big is no settings file.
constexpr std::streamoff kMaxFileBytes = 1 << 20;

}  // namespace

Settings DefaultsKeepingPlayer(const Settings& s) {
    Settings defaults;
    defaults.playerName = s.playerName;
    defaults.leaderboard = s.leaderboard;
    defaults.leaderboardUrl = s.leaderboardUrl;
    return defaults;
}

void ApplySoundLevels(const Settings& s) {
    const float scale = s.mute ? 0.0f : 1.0f / Settings::kMaxVolume;
    SetAudioLevels(static_cast<float>(s.musicVolume) * scale,
                   static_cast<float>(s.effectsVolume) * scale);
}

SettingsStore::SettingsStore(std::string directory) : directory_(std::move(directory)) {}

std::string SettingsStore::FilePath() const {
    return directory_.empty() ? std::string() : directory_ + kFileName;
}

void SettingsStore::Load() {
    current_ = Settings{};
    written_.clear();
    const std::string path = FilePath();
    if (path.empty()) {
        return;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return;  // no file yet: the defaults, as the game always played
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0 || size > kMaxFileBytes) {
        std::fprintf(stderr, "quorvax: %s: too large for a settings file; the defaults are used\n",
                     path.c_str());
        return;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<std::string> log;
    current_ = ParseSettings(text.str(), path, log);
    for (const std::string& line : log) {
        std::fprintf(stderr, "quorvax: %s\n", line.c_str());
    }
    written_ = text.str();
}

bool SettingsStore::Update(const std::string& text) {
    std::vector<std::string> log;
    const Settings updated = ParseSettings(text, "settings", log, current_);
    for (const std::string& line : log) {
        std::fprintf(stderr, "quorvax: %s\n", line.c_str());
    }
    return Save(updated);
}

SettingsStore& PlayerSettings() {
    static SettingsStore store(SettingsLocation::Directory());
    static const bool loaded = (store.Load(), true);
    (void)loaded;
    return store;
}

bool SettingsStore::Save(const Settings& settings) {
    current_ = settings;
    const std::string text = FormatSettings(settings);
    const std::string path = FilePath();
    if (path.empty() || text == written_) {
        return true;
    }
    if (!SettingsLocation::MakeDirectory(directory_)) {
        std::fprintf(stderr, "quorvax: cannot make %s; the settings are not saved\n",
                     directory_.c_str());
        return false;
    }
    const bool ok = FileSystem::WriteFileAtomically(path.c_str(), [&text](std::FILE* f) {
        return std::fwrite(text.data(), 1, text.size(), f) == text.size();
    });
    if (!ok) {
        std::fprintf(stderr, "quorvax: cannot write %s; the settings are not saved\n",
                     path.c_str());
        return false;
    }
    written_ = text;
    SettingsLocation::Persist();
    return true;
}

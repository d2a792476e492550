#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/InputBindings.h"

// The player's settings. A default-made one plays exactly as the game
// always has; the settings file (SettingsFile) is laid over it.
struct Settings {
    static constexpr int kFormatVersion = 1;
    static constexpr int kMaxVolume = 100;
    // frameRate: as MainWindow::SetFrameRate takes it (-1 one per tick, 0
    // as the display shows frames, else at most that many a second).
    static constexpr int kFramePerTick = -1;
    static constexpr int kMaxFrameRate = 1000;
    static constexpr int kMinTouchSize = 50;
    static constexpr int kMaxTouchSize = 200;
    // The longest player name and table address, in UTF-8 bytes.
    static constexpr size_t kMaxNameBytes = 64;
    static constexpr size_t kMaxUrlBytes = 512;

    // Sound: percent of full loudness.
    int musicVolume = kMaxVolume;
    int effectsVolume = kMaxVolume;
    bool mute = false;

    KeyBindings keys = KeyBindings::Defaults();
    PadBindings pad = PadBindings::Defaults();

    // Display.
    int frameRate = 0;
    bool fullScreen = true;

    // The player and the world table.
    std::string playerName;
    bool leaderboard = false;
    std::string leaderboardUrl;

    // The page on phones and tablets: "auto", "on" or "off"; size in percent.
    std::string touch = "auto";
    int touchSize = 100;
    bool leftHanded = false;
    bool vibrate = true;

    bool operator==(const Settings& o) const;
    bool operator!=(const Settings& o) const { return !(*this == o); }
};

// What the settings file holds, read from its text: the defaults with every
// good value of the text laid over them. Unknown names are skipped; a bad
// or out-of-range value keeps its default and adds a line to `log` that
// names the line of the file. A text that is no TOML at all gives the
// defaults and one such line. Never leaves an action without a key.
Settings ParseSettings(const std::string& text, const std::string& fileName,
                       std::vector<std::string>& log);
// The same, laid over `base` instead of the defaults.
Settings ParseSettings(const std::string& text, const std::string& fileName,
                       std::vector<std::string>& log, const Settings& base);
// The file's text for these settings, with the format version.
std::string FormatSettings(const Settings& settings);
// The same as JSON, for the page's settings panel.
std::string FormatSettingsJson(const Settings& settings);

// The defaults, but for who plays (the player's name and the world table):
// the dialogs' and the page's "Defaults".
Settings DefaultsKeepingPlayer(const Settings& settings);

// Sets the sound levels of the settings (mute silences both).
void ApplySoundLevels(const Settings& settings);

// The settings file of this player: settings.toml in the system's folder
// for them (SettingsLocation). GameApp loads it at the start; the Settings
// dialog saves it on every change.
class SettingsStore {
  public:
    // The folder the file lives in; "" keeps everything in memory.
    explicit SettingsStore(std::string directory);

    // Reads the file; a missing file gives the defaults. The log's lines
    // (bad values, a damaged file) go to stderr.
    void Load();
    // Writes the file if the settings differ from what it holds, through a
    // temporary file and a rename; makes the folder. False when that fails.
    bool Save(const Settings& settings);

    const Settings& Current() const { return current_; }
    // Lays a settings text over the current settings (the page's panel
    // sends what it changed) and saves; the log's lines go to stderr.
    bool Update(const std::string& text);
    std::string FilePath() const;

  private:
    std::string directory_;
    Settings current_;
    std::string written_;  // the text the file holds, as far as we know
};

// The player's own settings store, in the system's folder for them, read
// at its first use: the game (GameApp), and the page's settings panel.
SettingsStore& PlayerSettings();

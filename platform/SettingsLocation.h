#pragma once

#include <string>

// Where the player's settings file lives, per system: Linux
// $XDG_CONFIG_HOME/quorvax/ (~/.config/quorvax/), Windows
// %APPDATA%\Quorvax\, the page its persistent IndexedDB mount. SettingsStore
// asks at the start of the game and when it saves.
class SettingsLocation {
  public:
    // The folder with its separator at the end; "" when the system gives
    // none (no HOME): the settings then live in memory only.
    static std::string Directory();
    // Makes the folder and any missing parent; true when it exists afterwards.
    static bool MakeDirectory(const std::string& dir);
    // After a save: the page copies its files to IndexedDB; elsewhere nothing.
    static void Persist();
};

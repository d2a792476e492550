#include "platform/SettingsLocation.h"

// The replay tool plays with the game's own keys and keeps no settings.
std::string SettingsLocation::Directory() {
    return "";
}

bool SettingsLocation::MakeDirectory(const std::string&) {
    return false;
}

void SettingsLocation::Persist() {}

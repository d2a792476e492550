#include "platform/SettingsLocation.h"

#include <windows.h>

std::string SettingsLocation::Directory() {
    // The roaming application data: it follows the player, and it is never
    // the install folder, which an upgrade replaces.
    char path[MAX_PATH + 1];
    const DWORD n = GetEnvironmentVariableA("APPDATA", path, sizeof path);
    if (n == 0 || n >= sizeof path) {
        return "";
    }
    return std::string(path) + "\\Quorvax\\";
}

bool SettingsLocation::MakeDirectory(const std::string& dir) {
    for (size_t i = 0; i < dir.size(); ++i) {
        if ((dir[i] == '\\' || dir[i] == '/') && i > 2) {
            CreateDirectoryA(dir.substr(0, i).c_str(), nullptr);
        }
    }
    const DWORD attributes = GetFileAttributesA(dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void SettingsLocation::Persist() {}

#include "platform/SettingsLocation.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

std::string SettingsLocation::Directory() {
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/quorvax/";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config/quorvax/";
    }
    return "";
}

bool SettingsLocation::MakeDirectory(const std::string& dir) {
    for (size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void SettingsLocation::Persist() {}

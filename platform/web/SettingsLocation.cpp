#include "platform/SettingsLocation.h"

#include <emscripten.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/web/WebPage.h"

std::string SettingsLocation::Directory() {
    // On the IndexedDB mount: elsewhere the file would live in memory only.
    return std::string(WebPage::kStorageDir) + "/";
}

bool SettingsLocation::MakeDirectory(const std::string& dir) {
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void SettingsLocation::Persist() {
    // The file's fsync has already copied the mount to IndexedDB. The
    // page's panel hears of every change (M mutes in the game too), once
    // the game's work is over.
    EM_ASM({
        if (window.QuorvaxSettings) {
            setTimeout(window.QuorvaxSettings.changed, 0);
        }
    });
}

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
    // This emscripten persists nothing by itself.
    EM_ASM({
        FS.syncfs(
            false, function(err) {
                if (err) {
                    console.error('quorvax: the settings could not be kept: ' + err);
                }
            });
    });
}

#include "platform/InstallLocation.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>

#include "platform/win32/ModulePath.h"

// In UTF-8.
std::string InstallLocation::ExecutableDir() {
    const std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return "";
    }
    // UTF-8, so that no name is lost on the way.
    const int wide = static_cast<int>(slash);
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, path.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string dir(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.data(), wide, dir.data(), bytes, nullptr, nullptr);
    return dir;
}

// The Windows package keeps the game's files beside the program.
std::string InstallLocation::DataDirFor(const std::string& exeDir) {
    return exeDir;
}

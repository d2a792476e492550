#include "support/ScratchDir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>

#include <chrono>
#include <cstdio>
#endif

std::string MakeScratchDir(const std::string& prefix) {
    std::error_code ec;
    const std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
    if (ec) {
        return "";
    }
#ifdef _WIN32
    // No mkdtemp: try fresh names until a directory is made, not found.
    const auto seed = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        char suffix[40];
        std::snprintf(suffix, sizeof suffix, "%x-%llx-%u", static_cast<unsigned>(_getpid()), seed,
                      attempt);
        const std::filesystem::path dir = tmp / (prefix + suffix);
        if (std::filesystem::create_directory(dir, ec)) {
            return dir.string();
        }
    }
    return "";
#else
    std::string pattern = (tmp / (prefix + "XXXXXX")).string();
    return mkdtemp(pattern.data()) != nullptr ? pattern : "";
#endif
}

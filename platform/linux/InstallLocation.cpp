#include "platform/InstallLocation.h"

#include <unistd.h>

#include <vector>

// Set by the build from its install layout (bin/ and share/quorvax/ under one prefix).
#ifndef QUORVAX_DATA_FROM_BINDIR
#define QUORVAX_DATA_FROM_BINDIR "../share/quorvax"
#endif

std::string InstallLocation::ExecutableDir() {
    std::vector<char> buf(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n <= 0) {
            return "";
        }
        if (static_cast<size_t>(n) < buf.size()) {
            std::string path(buf.data(), static_cast<size_t>(n));
            const size_t slash = path.rfind('/');
            if (slash == std::string::npos) {
                return "";
            }
            return slash == 0 ? "/" : path.substr(0, slash);
        }
        buf.resize(buf.size() * 2);  // cut off: try again with room
    }
}

std::string InstallLocation::DataDirFor(const std::string& exeDir) {
    if (exeDir.empty()) {
        return "";
    }
    const std::string relative = QUORVAX_DATA_FROM_BINDIR;
    if (!relative.empty() && relative[0] == '/') {
        return relative;  // the data directory lies outside the prefix
    }
    return exeDir == "/" ? "/" + relative : exeDir + "/" + relative;
}

#include "scores/TextLines.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

#ifdef _WIN32

// Windows keeps no Unix permissions and flushes a directory with its files;
// a rename onto an existing file needs MoveFileEx.
bool FlushFile(int fd) {
    return ::_commit(fd) == 0;
}

bool ReplaceFile(const std::string& temp, const char* fileName) {
    return ::MoveFileExA(temp.c_str(), fileName,
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

bool FlushFile(int fd) {
    return ::fsync(fd) == 0;
}

bool ReplaceFile(const std::string& temp, const char* fileName) {
    return std::rename(temp.c_str(), fileName) == 0;
}

// The directory part of a file name, "." when it has none.
std::string DirectoryOf(const std::string& fileName) {
    const size_t slash = fileName.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

// The permissions a newly created file gets; an existing file keeps its own.
mode_t ModeFor(const char* fileName) {
    struct stat st {};
    if (::stat(fileName, &st) == 0) {
        return st.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Makes the rename itself durable; best effort, as not every file system can.
void SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

#endif

}  // namespace

bool TextLines::Read(const char* fileName) {
    FilePtr file(std::fopen(fileName, "rb"));
    if (!file) {
        return false;
    }
    return Read(file.get());
}

bool TextLines::Read(std::FILE* file) {
    if (file == nullptr) {
        return false;
    }
    // Read up to the end rather than trusting a size found by seeking: the
    // stream may be a pipe, or the file may change while it is read.
    std::string data;
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        data.append(chunk, got);
        if (data.size() > static_cast<size_t>(kMaxScoreFileBytes)) {
            return false;
        }
    }
    if (std::ferror(file) || data.empty()) {
        return false;
    }
    if (data.find('\n') == std::string::npos) {
        return false;
    }
    // Each line ends at its own line feed, so files that mix CR LF and bare
    // LF line ends are read line by line as well.
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t lf = data.find('\n'); lf != std::string::npos; lf = data.find('\n', start)) {
        size_t end = start;
        while (end < lf && data[end] != '\r' && data[end] != '\0') {
            ++end;
        }
        result.emplace_back(data, start, end - start);
        start = lf + 1;
    }
    lines = std::move(result);
    return true;
}

bool TextLines::Write(std::FILE* file) const {
    if (file == nullptr) {
        return false;
    }
    for (const std::string& line : lines) {
        if (std::fwrite(line.data(), 1, line.size(), file) != line.size() ||
            std::fwrite("\r\n", 1, 2, file) != 2) {
            return false;
        }
    }
    return std::fflush(file) == 0 && !std::ferror(file);
}

bool TextLines::Write(const char* fileName) const {
    const std::string target(fileName);
#ifndef _WIN32
    const std::string dir = DirectoryOf(target);
#endif
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
#ifdef _WIN32
    ::_setmode(fd, _O_BINARY);  // the lines end in CR LF as written, never doubled
#else
    ::fchmod(fd, ModeFor(fileName));
#endif
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        std::remove(temp.c_str());
        return false;
    }
    bool ok = Write(file);
    ok = FlushFile(fd) && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok) {
        ok = ReplaceFile(temp, fileName);
    }
    if (!ok) {
        std::remove(temp.c_str());
        return false;
    }
#ifndef _WIN32
    SyncDirectory(dir);
#endif
    return true;
}

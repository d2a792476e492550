#include "scores/TextLines.h"

#include <memory>

#include "platform/FileSystem.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

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
    return FileSystem::WriteFileAtomically(fileName,
                                           [this](std::FILE* file) { return Write(file); });
}

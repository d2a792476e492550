#pragma once

#include <cstddef>
#include <cstdio>

// A stdio stream that closes itself on every way out. Readers take the FILE*
// so that tests and fuzzers can hand them bytes in memory instead of a file.
class FileStream {
  public:
    FileStream() = default;
    ~FileStream() { Close(); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Opens a file by name; false when it cannot be opened.
    bool Open(const char* name, const char* mode) {
        Close();
        file = std::fopen(name, mode);
        return file != nullptr;
    }
    // Opens a read-only stream over bytes the caller keeps alive meanwhile.
    bool OpenMemory(const void* bytes, size_t size);
    void Close() {
        if (file != nullptr) {
            std::fclose(file);
            file = nullptr;
        }
    }
    FILE* Get() const { return file; }

  private:
    FILE* file = nullptr;
};

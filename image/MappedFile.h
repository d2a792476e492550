#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// A whole file mapped read-only into memory, unmapped and closed on destruction.
class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Opens and maps an existing file. False when it cannot be opened or
    // mapped; an empty file cannot be mapped.
    bool Open(const char* name);
    std::span<const uint8_t> Bytes() const { return {bytes, size}; }

  private:
#ifdef _WIN32
    void* file = nullptr;  // HANDLEs, kept out of this header's includes
    void* mapping = nullptr;
#else
    int fd = -1;
#endif
    const uint8_t* bytes = nullptr;
    size_t size = 0;
};

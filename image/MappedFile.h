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
    const uint8_t* bytes = nullptr;  // the view of FileSystem::MapFile
    size_t size = 0;
};

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Zero-filled pixel blocks. A picture whose file holds data for a small part
// of it (a run-length file, a cut-short file) should cost neither the time
// to clear a large block nor resident memory for the part never written:
// large blocks are mapped straight from the system as untouched zero pages,
// followed by an inaccessible guard page; small ones come from calloc.
struct FreeBlock {
    size_t mappedBytes = 0;  // 0 for a calloc block
    void operator()(void* p) const;
};

template <typename T>
using ZeroedBlock = std::unique_ptr<T[], FreeBlock>;

// bytes zeroed bytes; null when the memory cannot be had.
std::unique_ptr<void, FreeBlock> AllocateZeroedBytes(size_t bytes);

// count zeroed elements of a plain type; null when the memory cannot be had.
template <typename T>
ZeroedBlock<T> AllocateZeroed(size_t count) {
    if (count > SIZE_MAX / sizeof(T)) {
        return nullptr;
    }
    std::unique_ptr<void, FreeBlock> block = AllocateZeroedBytes(count * sizeof(T));
    const FreeBlock deleter = block.get_deleter();
    return ZeroedBlock<T>(static_cast<T*>(block.release()), deleter);
}

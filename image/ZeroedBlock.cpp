#include "image/ZeroedBlock.h"

#include <cstdint>
#include <cstdlib>

#include "platform/FileSystem.h"

namespace {

// Below this a block comes from calloc, where the sanitizers can watch it.
constexpr size_t kMapFromBytes = size_t{1} << 20;

}  // namespace

void FreeBlock::operator()(void* p) const {
    if (mappedBytes != 0) {
        FileSystem::UnmapPages(p, mappedBytes);
    } else {
        std::free(p);
    }
}

std::unique_ptr<void, FreeBlock> AllocateZeroedBytes(size_t bytes) {
    if (bytes < kMapFromBytes) {
        return std::unique_ptr<void, FreeBlock>(std::calloc(bytes != 0 ? bytes : 1, 1));
    }
    const size_t page = FileSystem::PageBytes();
    if (bytes > SIZE_MAX - 2 * page) {
        return nullptr;
    }
    // The guard page after the block: a read or write past its end faults
    // instead of landing in other memory.
    const size_t data = (bytes + page - 1) / page * page;
    const size_t total = data + page;
    void* p = FileSystem::MapPages(total);
    if (p == nullptr) {
        return nullptr;
    }
    FileSystem::ProtectPages(static_cast<uint8_t*>(p) + data, page);
    return std::unique_ptr<void, FreeBlock>(p, FreeBlock{total});
}

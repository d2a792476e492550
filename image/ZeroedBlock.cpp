#include "image/ZeroedBlock.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

// Below this a block comes from calloc, where the sanitizers can watch it.
constexpr size_t kMapFromBytes = size_t{1} << 20;

size_t PageBytes() {
    const long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? size_t(page) : 4096;
}

}  // namespace

void FreeBlock::operator()(void* p) const {
    if (mappedBytes != 0) {
        munmap(p, mappedBytes);
    } else {
        std::free(p);
    }
}

std::unique_ptr<void, FreeBlock> AllocateZeroedBytes(size_t bytes) {
    if (bytes < kMapFromBytes) {
        return std::unique_ptr<void, FreeBlock>(std::calloc(bytes != 0 ? bytes : 1, 1));
    }
    const size_t page = PageBytes();
    if (bytes > SIZE_MAX - 2 * page) {
        return nullptr;
    }
    // The guard page after the block: a read or write past its end faults
    // instead of landing in other memory.
    const size_t data = (bytes + page - 1) / page * page;
    const size_t total = data + page;
    void* p = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        return nullptr;
    }
    mprotect(static_cast<uint8_t*>(p) + data, page, PROT_NONE);
    return std::unique_ptr<void, FreeBlock>(p, FreeBlock{total});
}

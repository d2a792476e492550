#include "image/ZeroedBlock.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

// Below this a block comes from calloc, where the sanitizers can watch it.
constexpr size_t kMapFromBytes = size_t{1} << 20;
// Readable zero pages after a mapped block, before its guard page.
constexpr size_t kReadSlackPages = 1;

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
    // GLU's image scaling reads a little past the end of the picture it is
    // given: a page of zeros lies there, then the guard page, so that
    // anything going further faults instead of reading or writing elsewhere.
    const size_t data = (bytes + page - 1) / page * page + kReadSlackPages * page;
    const size_t total = data + page;
    void* p = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        return nullptr;
    }
    mprotect(static_cast<uint8_t*>(p) + data, page, PROT_NONE);
    return std::unique_ptr<void, FreeBlock>(p, FreeBlock{total});
}

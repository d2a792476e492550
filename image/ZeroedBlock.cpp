#include "image/ZeroedBlock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <cstdlib>

namespace {

// Below this a block comes from calloc, where the sanitizers can watch it.
constexpr size_t kMapFromBytes = size_t{1} << 20;

size_t PageBytes() {
#ifdef _WIN32
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.dwPageSize > 0 ? size_t(info.dwPageSize) : 4096;
#else
    const long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? size_t(page) : 4096;
#endif
}

// Fresh zero pages from the system, readable and writable; null when none.
void* MapPages(size_t bytes) {
#ifdef _WIN32
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
#endif
}

void ProtectPage(void* p, size_t bytes) {
#ifdef _WIN32
    DWORD old = 0;
    VirtualProtect(p, bytes, PAGE_NOACCESS, &old);
#else
    mprotect(p, bytes, PROT_NONE);
#endif
}

}  // namespace

void FreeBlock::operator()(void* p) const {
    if (mappedBytes != 0) {
#ifdef _WIN32
        VirtualFree(p, 0, MEM_RELEASE);
#else
        munmap(p, mappedBytes);
#endif
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
    void* p = MapPages(total);
    if (p == nullptr) {
        return nullptr;
    }
    ProtectPage(static_cast<uint8_t*>(p) + data, page);
    return std::unique_ptr<void, FreeBlock>(p, FreeBlock{total});
}

#include "image/MappedFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

MappedFile::~MappedFile() {
    if (bytes != nullptr) {
        UnmapViewOfFile(bytes);
    }
    if (mapping != nullptr) {
        CloseHandle(mapping);
    }
    if (file != nullptr) {
        CloseHandle(file);
    }
}

bool MappedFile::Open(const char* name) {
    if (file != nullptr) {
        return false;  // one file per object
    }
    HANDLE h = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    file = h;
    LARGE_INTEGER length{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &length) || length.QuadPart <= 0 ||
        static_cast<unsigned long long>(length.QuadPart) > SIZE_MAX) {
        return false;
    }
    mapping = CreateFileMappingA(h, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) {
        return false;
    }
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        return false;
    }
    bytes = static_cast<const uint8_t*>(view);
    size = static_cast<size_t>(length.QuadPart);
    return true;
}

#else

MappedFile::~MappedFile() {
    if (bytes != nullptr) {
        munmap(const_cast<uint8_t*>(bytes), size);
    }
    if (fd >= 0) {
        close(fd);
    }
}

bool MappedFile::Open(const char* name) {
    if (fd >= 0) {
        return false;  // one file per object
    }
    fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
        return false;
    }
    void* view = mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
        return false;
    }
    bytes = static_cast<const uint8_t*>(view);
    size = size_t(info.st_size);
    return true;
}

#endif

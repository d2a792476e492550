#include "image/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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

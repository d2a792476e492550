#include "image/FileStream.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#ifdef _WIN32

// Windows' C library has no stream over memory: the bytes go into a
// temporary file that goes away when the stream is closed.
bool FileStream::OpenMemory(const void* bytes, size_t size) {
    Close();
    char dir[MAX_PATH + 1];
    char name[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof dir, dir);
    if (n == 0 || n > sizeof dir || GetTempFileNameA(dir, "qvx", 0, name) == 0) {
        return false;
    }
    const int fd = _open(name, _O_RDWR | _O_BINARY | _O_TEMPORARY | _O_SHORT_LIVED);
    if (fd < 0) {
        DeleteFileA(name);
        return false;
    }
    file = _fdopen(fd, "w+b");
    if (file == nullptr) {
        _close(fd);
        return false;
    }
    if ((size != 0 && std::fwrite(bytes, 1, size, file) != size) || std::fflush(file) != 0) {
        Close();
        return false;
    }
    std::rewind(file);
    return true;
}

#else

bool FileStream::OpenMemory(const void* bytes, size_t size) {
    Close();
    // fmemopen wants a writable buffer and a non-null one even when empty;
    // read mode never writes to it.
    static char empty[1];
    void* buffer = size != 0 ? const_cast<void*>(bytes) : empty;
    file = fmemopen(buffer, size, "rb");
    return file != nullptr;
}

#endif

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdlib>
#include <string>

// Windows' C library has no stream over memory: the bytes go into a
// temporary file that goes away when the stream is closed.
std::FILE* FileSystem::OpenMemoryStream(const void* bytes, size_t size) {
    char dir[MAX_PATH + 1];
    char name[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof dir, dir);
    if (n == 0 || n > sizeof dir || GetTempFileNameA(dir, "qvx", 0, name) == 0) {
        return nullptr;
    }
    const int fd = _open(name, _O_RDWR | _O_BINARY | _O_TEMPORARY | _O_SHORT_LIVED);
    if (fd < 0) {
        DeleteFileA(name);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "w+b");
    if (file == nullptr) {
        _close(fd);
        return nullptr;
    }
    if ((size != 0 && std::fwrite(bytes, 1, size, file) != size) || std::fflush(file) != 0) {
        std::fclose(file);
        return nullptr;
    }
    std::rewind(file);
    return file;
}

const uint8_t* FileSystem::MapFile(const char* name, size_t& size) {
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    LARGE_INTEGER length{};
    HANDLE mapping = nullptr;
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &length) &&
        length.QuadPart > 0 && static_cast<unsigned long long>(length.QuadPart) <= SIZE_MAX) {
        mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    }
    const void* view =
        mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    // The view keeps the mapping and the file open until it is unmapped.
    if (mapping != nullptr) {
        CloseHandle(mapping);
    }
    CloseHandle(file);
    if (view == nullptr) {
        return nullptr;
    }
    size = static_cast<size_t>(length.QuadPart);
    return static_cast<const uint8_t*>(view);
}

void FileSystem::UnmapFile(const uint8_t* bytes, size_t) {
    if (bytes != nullptr) {
        UnmapViewOfFile(bytes);
    }
}

size_t FileSystem::PageBytes() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.dwPageSize > 0 ? size_t(info.dwPageSize) : 4096;
}

void* FileSystem::MapPages(size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FileSystem::ProtectPages(void* pages, size_t bytes) {
    DWORD old = 0;
    VirtualProtect(pages, bytes, PAGE_NOACCESS, &old);
}

void FileSystem::UnmapPages(void* pages, size_t) {
    VirtualFree(pages, 0, MEM_RELEASE);
}

// Windows keeps no Unix permissions and flushes a directory with its
// files; a rename onto an existing file needs MoveFileEx.
bool FileSystem::WriteFileAtomically(const char* fileName,
                                     const std::function<bool(std::FILE*)>& write) {
    std::string temp = std::string(fileName) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    ::_setmode(fd, _O_BINARY);  // the bytes as written: no line end is doubled
    std::FILE* file = ::_fdopen(fd, "wb");
    if (file == nullptr) {
        ::_close(fd);
        std::remove(temp.c_str());
        return false;
    }
    bool ok = write(file) && std::fflush(file) == 0 && !std::ferror(file);
    ok = ::_commit(fd) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && MoveFileExA(temp.c_str(), fileName,
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

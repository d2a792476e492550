// POSIX files: Linux's, node's (emscripten's file system over the host's)
// and the page's (emscripten's, its lasting part kept in IndexedDB). The
// page's build defines QUORVAX_PAGE_FILES.
#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

// Where the page's file system differs from the others.
struct FileChoices {
    // New files take their permissions from the umask. The page's file
    // system answers umask with a mask of everything, which would leave a
    // new file unreadable: its files are its own alone (0644), and a file
    // replaced keeps a mode only when its owner may read and write it.
    bool umaskGivesModes;
    // Replacing a link replaces the file it points to: the page's working
    // directory links its player files to the lasting storage.
    bool replaceLinkTargets;
};
#ifdef QUORVAX_PAGE_FILES
constexpr FileChoices kChoices{false, true};
#else
constexpr FileChoices kChoices{true, false};
#endif

// The directory part of a file name, "." when it has none.
std::string DirectoryOf(const std::string& fileName) {
    const size_t slash = fileName.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

// The permissions a newly created file gets; an existing file keeps its own.
mode_t ModeFor(const char* fileName) {
    struct stat st {};
    if (::stat(fileName, &st) == 0 && (kChoices.umaskGivesModes || (st.st_mode & 0600) == 0600)) {
        return st.st_mode & 07777;
    }
    if (!kChoices.umaskGivesModes) {
        return 0644;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Makes the rename itself durable; best effort, as not every file system can.
void SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A link's target (relative to the link's directory), or the name itself.
std::string LinkTarget(const char* fileName) {
    char buf[1024];
    const ssize_t n = ::readlink(fileName, buf, sizeof buf - 1);
    if (n <= 0) {
        return fileName;
    }
    const std::string link(buf, static_cast<size_t>(n));
    const std::string dir = DirectoryOf(fileName);
    return link[0] == '/' || dir == "." ? link : dir + "/" + link;
}

}  // namespace

std::FILE* FileSystem::OpenMemoryStream(const void* bytes, size_t size) {
    // fmemopen wants a writable buffer and a non-null one even when empty;
    // read mode never writes to it.
    static char empty[1];
    void* buffer = size != 0 ? const_cast<void*>(bytes) : empty;
    return ::fmemopen(buffer, size, "rb");
}

const uint8_t* FileSystem::MapFile(const char* name, size_t& size) {
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    void* view = MAP_FAILED;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        view = ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    }
    ::close(fd);  // the mapping keeps the file
    if (view == MAP_FAILED) {
        return nullptr;
    }
    size = size_t(info.st_size);
    return static_cast<const uint8_t*>(view);
}

void FileSystem::UnmapFile(const uint8_t* bytes, size_t size) {
    if (bytes != nullptr) {
        ::munmap(const_cast<uint8_t*>(bytes), size);
    }
}

size_t FileSystem::PageBytes() {
    const long page = ::sysconf(_SC_PAGESIZE);
    return page > 0 ? size_t(page) : 4096;
}

void* FileSystem::MapPages(size_t bytes) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

void FileSystem::ProtectPages(void* pages, size_t bytes) {
    ::mprotect(pages, bytes, PROT_NONE);
}

void FileSystem::UnmapPages(void* pages, size_t bytes) {
    ::munmap(pages, bytes);
}

bool FileSystem::WriteFileAtomically(const char* fileName,
                                     const std::function<bool(std::FILE*)>& write) {
    const std::string target = kChoices.replaceLinkTargets ? LinkTarget(fileName) : fileName;
    fileName = target.c_str();
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    ::fchmod(fd, ModeFor(fileName));
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        std::remove(temp.c_str());
        return false;
    }
    bool ok = write(file) && std::fflush(file) == 0 && !std::ferror(file);
    ok = ::fsync(fd) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), fileName) == 0;
    if (!ok) {
        std::remove(temp.c_str());
        return false;
    }
    // On the page the fsync calls above wrote its lasting storage out to
    // IndexedDB, waiting until it was there.
    SyncDirectory(DirectoryOf(target));
    return true;
}

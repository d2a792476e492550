#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

// The system's own calls for files and memory that the readers and writers
// of image/ and scores/ need and the C and C++ libraries do not offer alike
// on every system. Two implementations: platform/linux/FileSystem.cpp (POSIX:
// Linux, node and the page) and platform/win32/FileSystem.cpp; the tests run
// the POSIX one.
class FileSystem {
  public:
    // FileStream::OpenMemory: a read-only binary stream over `size` bytes,
    // which the caller keeps alive while the stream is open. Null when none
    // can be made; closed with fclose.
    static std::FILE* OpenMemoryStream(const void* bytes, size_t size);

    // MappedFile::Open: an existing regular file mapped whole and read-only,
    // `size` bytes long. Null when it cannot be opened or mapped, and for an
    // empty file. The view holds the file by itself; nothing else stays open.
    static const uint8_t* MapFile(const char* name, size_t& size);
    // MappedFile's destructor: releases a view that MapFile made.
    static void UnmapFile(const uint8_t* bytes, size_t size);

    // ZeroedBlock's large blocks: the system's page size, never 0.
    static size_t PageBytes();
    // `bytes` (a multiple of PageBytes) of fresh read-write pages from the
    // system: all zero, and costing no memory until written. Null when the
    // system has none.
    static void* MapPages(size_t bytes);
    // Makes pages of a MapPages block inaccessible (the guard after a block).
    static void ProtectPages(void* pages, size_t bytes);
    // Returns a whole MapPages block.
    static void UnmapPages(void* pages, size_t bytes);

    // TextLines::Write: replaces the file, or makes it, with what `write`
    // puts into the binary stream it is given, atomically: the data goes to
    // a temporary file in the same directory, reaches the disk and is then
    // renamed over the file, so a failed save (write answers false, a full
    // disk) leaves the old file as it was. On Linux a new file gets the
    // permissions the umask gives new files, and a file replaced keeps its
    // own. False on any failure.
    static bool WriteFileAtomically(const char* fileName,
                                    const std::function<bool(std::FILE*)>& write);
};

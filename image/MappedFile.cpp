#include "image/MappedFile.h"

#include "platform/FileSystem.h"

MappedFile::~MappedFile() {
    FileSystem::UnmapFile(bytes, size);
}

bool MappedFile::Open(const char* name) {
    if (bytes != nullptr) {
        return false;  // one file per object
    }
    bytes = FileSystem::MapFile(name, size);
    return bytes != nullptr;
}

#include "image/FileStream.h"

#include "platform/FileSystem.h"

bool FileStream::OpenMemory(const void* bytes, size_t size) {
    Close();
    file = FileSystem::OpenMemoryStream(bytes, size);
    return file != nullptr;
}

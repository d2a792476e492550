// JpegImage over a memory stream.
#include <cstddef>
#include <cstdint>

#include "image/FileStream.h"
#include "image/JpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FileStream stream;
    if (!stream.OpenMemory(data, size)) {
        return 0;
    }
    JpegImage image;
    if (image.LoadFromStream(stream.Get()) && image.pixels) {
        // The last byte of the block must be inside it.
        const size_t bytes = static_cast<size_t>(image.width) * image.height * image.bytesPerPixel;
        if (bytes > 0) {
            volatile uint8_t sink = image.pixels[bytes - 1];
            (void)sink;
        }
    }
    return 0;
}

// BmpImage over a memory stream.
#include <cstddef>
#include <cstdint>

#include "image/BmpImage.h"
#include "image/FileStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FileStream stream;
    if (!stream.OpenMemory(data, size)) {
        return 0;
    }
    BmpImage image;
    if (image.LoadFromStream(stream.Get())) {
        // Touch the corners: the rows must cover the whole picture.
        const int32_t w = image.Width();
        const int32_t h = image.Height();
        if (w > 0 && h > 0) {
            volatile uint8_t sink = image.Pixel(w - 1, h - 1).r;
            (void)sink;
        }
    }
    return 0;
}

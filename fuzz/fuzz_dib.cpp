// The DIB decoder behind LoadDibImage over the file's bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "image/DibImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<Image> image;
    DecodeDibImage(std::span<const uint8_t>(data, size), image);
    return 0;
}

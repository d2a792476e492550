#pragma once

#include <cstdint>
#include <memory>

#include "image/ZeroedBlock.h"

// A picture as LoadDibImage delivers it: width x height pixels of red, green,
// blue, rows packed without padding, row 0 first. Row 0 is the first row the
// file stores, which for an ordinary bottom-up file is the bottom of the picture.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    ZeroedBlock<uint8_t> data;
};

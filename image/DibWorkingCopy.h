#pragma once

#include <cstdint>
#include <vector>

#include "image/Rgb.h"

// Compression codes of the DIB info header.
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitfields = 3;

// LoadDibImage's copy of a DIB's header and colour table, the same for both
// header forms: what the converter needs to turn the bits into RGB rows.
struct DibWorkingCopy {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t sizeImage = 0;
    uint32_t colorsUsed = 0;
    // The colour table; entries the file did not hold in full are black.
    std::vector<Rgb> colors;
};

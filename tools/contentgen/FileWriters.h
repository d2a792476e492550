#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/contentgen/Canvas.h"

// Which canvas row goes first in the file.
enum class RowOrder {
    // The reader turns the rows over (the last row in the file becomes row 0).
    LastRowIsCanvasRow0,
    // The reader keeps the file's order (the first row in the file is row 0).
    FirstRowIsCanvasRow0,
};

// Uncompressed 24-bit BMP with the 14-byte file header and a 40-byte info header.
bool WriteBmp24(const std::string& path, const Canvas& c, RowOrder order);
// 8-bit BMP with a 12-byte core header and a 256-entry colour table of greys;
// the canvas's red channel gives the grey level.
bool WriteBmp8GreyCore(const std::string& path, const Canvas& c, RowOrder order);
// Baseline JPEG through libjpeg; canvas row 0 is the top of the picture.
bool WriteJpeg(const std::string& path, const Canvas& c, int quality);
// Any bytes.
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Little-endian appenders for building file images.
void Put16(std::vector<uint8_t>& out, uint32_t v);
void Put32(std::vector<uint8_t>& out, uint32_t v);

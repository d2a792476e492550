#pragma once

#include <cstdint>
#include <string>

// Writes 8-bit RGB pixels (top row first, rows packed) as a PNG file.
// Screenshots of the replay tool, the tests and the preview tool.
bool WritePng(const std::string& path, const uint8_t* rgb, int width, int height);

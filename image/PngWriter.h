#pragma once

#include <cstdint>
#include <string>

// Writes 8-bit RGB pixels (top row first, rows packed) as a PNG file.
// Screenshots of the replay tool, the tests and the preview tool, and the
// icons of the Linux install. The picture data goes into stored (not
// compressed) deflate blocks, so the writer needs no compression library and
// is the same code on every system; the files are as large as the pixels.
bool WritePng(const std::string& path, const uint8_t* rgb, int width, int height);

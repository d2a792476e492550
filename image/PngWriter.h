#pragma once

#include <cstdint>
#include <string>

// Writes 8-bit RGB pixels (top row first, rows packed) as a PNG file:
// lossless, every pixel as given. F12's screenshots (on their writer's
// worker thread), the replay tool's shots, the tests' pictures, the preview
// tool and the icons of the Linux install. Each row gets the PNG filter
// that suits it best and the rows go through zlib; a frame of the game
// shrinks to about half its pixel bytes, a picture of flat colours to a
// few bytes per row. False when the file cannot be written.
bool WritePng(const std::string& path, const uint8_t* rgb, int width, int height);

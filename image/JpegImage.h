#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "image/ZeroedBlock.h"

// A JPEG picture decoded with libjpeg into packed rows, row 0 the top of the
// picture: 3 bytes (red, green, blue) per pixel for colour and CMYK files,
// 1 byte of grey for greyscale files. The title picture comes through it.
class JpegImage {
  public:
    // Decodes the named file. False when it cannot be opened (the picture is
    // then unchanged), when libjpeg reported an error, or when the file
    // declares a picture beyond the limits in ImageLimits.h (larger than its
    // bytes can code, more scans than any encoder writes); rows the decode
    // did not reach are black. Called by SplashPicture.
    bool Load(const char* fileName);
    // The same over an open stream (tests and fuzzers use a memory stream).
    bool LoadFromStream(FILE* stream);

    // libjpeg's message for the last decode that failed; empty after success.
    static const char* ErrorText();

    int32_t width = 0;
    int32_t height = 0;
    // 1 for greyscale, 3 otherwise; 0 until pixels have been allocated.
    int32_t bytesPerPixel = 0;
    ZeroedBlock<uint8_t> pixels;
    // Set once a file has been opened for decoding.
    bool holdsData = false;

  private:
    bool Decode(FILE* stream);
};

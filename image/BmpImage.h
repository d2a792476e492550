#pragma once

#include <cstdint>
#include <cstdio>
#include "image/Rgb.h"
#include "image/ZeroedBlock.h"

// An uncompressed 24-bit BMP picture read with stdio. Row 0 is the top of the
// picture: the rows of an ordinary bottom-up file are turned over on reading.
// The board, enemy and bomb textures come through it (see LoadBmpTexture).
class BmpImage {
  public:
    virtual ~BmpImage() = default;

    // Makes w x h black pixels. False, with the picture unchanged, for a size
    // outside the reader's limits or when the memory cannot be had.
    bool SetSize(int32_t w, int32_t h);

    int32_t Width() const { return width; }
    int32_t Height() const { return height; }
    // Pixel (x, y); the spare scratch pixel for any request outside the picture.
    Rgb& Pixel(int32_t x, int32_t y);
    // Entry i of the row-major pixel array; the scratch pixel outside it.
    Rgb& At(int64_t i);
    // Start of the packed rows for the upload: entry 0, or the scratch pixel
    // when the picture is empty.
    const Rgb* PixelBlock() const;

    // Reads the named file. Silent: true when both headers were accepted (the
    // rows are then filled as far as the file reaches; a width or height of 0
    // is an empty picture), false with the picture unchanged otherwise.
    // Called by the texture-loading steps.
    bool Load(const char* fileName);
    // The same over an open stream (tests and fuzzers use a memory stream).
    bool LoadFromStream(FILE* stream);

  private:
    int32_t width = 0;
    int32_t height = 0;
    ZeroedBlock<Rgb> pixels;
    size_t pixelCount = 0;
    Rgb scratch;
};

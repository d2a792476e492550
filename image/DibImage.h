#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "image/Image.h"

// Outcome of decoding a BMP or bare DIB file held in memory.
enum class DibStatus {
    Ok,
    UnknownFormat,    // header size neither 12 nor 40, or the header cut short
    OutOfMemory,      // pixel block above the limit or not to be had
    ConversionError,  // bad size, unknown bit count or compression, bit fields,
                      // uncompressed bits of not even part of one row
};

// Reads a BMP file (or a bare DIB) with a 12-byte core or 40-byte info header
// through a memory mapping. Shows its own message box under "Error" on any
// failure and answers null. Rows keep the file's order; an uncompressed file
// cut short gives the rows it holds. Called by the hero's
// texture steps (LoadDibTexture, LoadShadowTexture).
std::unique_ptr<Image> LoadDibImage(const char* fileName);

// The decoding behind LoadDibImage over the file's bytes; silent, so that
// tests and fuzzers can call it directly. image is set only on Ok.
DibStatus DecodeDibImage(std::span<const uint8_t> file, std::unique_ptr<Image>& image);

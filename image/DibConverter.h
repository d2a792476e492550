#pragma once

#include <cstdint>
#include <span>

#include "image/DibWorkingCopy.h"

// Turns the bits of a DIB into packed 24-bit rows (red, green, blue) in the
// order the file stores them. Accepts 1, 4 and 8 bits with a colour table,
// 16 bits (5-5-5), 24 and 32 bits uncompressed, and RLE8 and RLE4.

// Whether the converter knows the copy's bit count and compression.
// LoadDibImage asks before it allocates the pixels.
bool DibFormatSupported(const DibWorkingCopy& dib);

// Bytes of one uncompressed row: the bits padded to a multiple of 4 bytes.
uint64_t DibRowStride(const DibWorkingCopy& dib);

// Writes into rgb, which holds width x height x 3 zeroed bytes; called by
// LoadDibImage once the size is checked. Reads only inside bits and writes
// only inside the picture: pixels the bits do not reach and colour indices
// beyond the table stay black, RLE runs past a row or the last row are cut off.
void ConvertDibBits(const DibWorkingCopy& dib, std::span<const uint8_t> bits, uint8_t* rgb);

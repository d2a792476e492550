#pragma once

#include <cstddef>
#include <cstdint>

// Bounds every picture reader checks a file's header against before it
// allocates anything, so that no file can ask for absurd memory.

// Largest width or height, in pixels, any reader accepts.
inline constexpr int32_t kMaxImageSide = 16384;
// Largest decoded pixel block, in bytes, any reader allocates.
inline constexpr uint64_t kMaxImageBytes = uint64_t{256} << 20;

// BMP: file header, then the info header that BmpImage reads.
inline constexpr size_t kBmpFileHeaderBytes = 14;
inline constexpr size_t kBmpInfoHeaderBytes = 40;
// DIB header forms LoadDibImage accepts.
inline constexpr uint32_t kDibCoreHeaderBytes = 12;
inline constexpr uint32_t kDibInfoHeaderBytes = 40;

// JPEG: Huffman coding spends at least one bit on every 8 x 8 block, so an
// ordinary file declaring more pixels than this per byte cannot hold its
// picture; libjpeg would decode all the missing data (as grey) regardless.
inline constexpr uint64_t kMaxJpegPixelsPerByte = 512;
// JPEG: scans beyond this many are refused (encoders write about ten).
inline constexpr int kMaxJpegScans = 100;

// Block size the JPEG source reads from its stream.
inline constexpr size_t kJpegBufferBytes = 4096;

#pragma once

#include <cstdio>

#include <jpeglib.h>

// The game's libjpeg data source: reads the stream in blocks of
// kJpegBufferBytes. An empty stream is libjpeg's "Empty input file" error; a
// stream that ends early gets libjpeg's premature-end warning and an
// end-of-image marker, so the decode finishes with what it has.
struct JpegFileSource {
    jpeg_source_mgr pub;
    FILE* stream;
    JOCTET* buffer;
    boolean startOfFile;

    // Makes the decompressor read from stream, allocating the source from its
    // permanent pool the first time. Called by JpegImage before reading the header.
    static void Attach(j_decompress_ptr cinfo, FILE* stream);
};

#include "image/JpegFileSource.h"

#include <jerror.h>

#include "image/ImageLimits.h"

namespace {

JpegFileSource* SourceOf(j_decompress_ptr cinfo) {
    return reinterpret_cast<JpegFileSource*>(cinfo->src);
}

void InitSource(j_decompress_ptr cinfo) {
    SourceOf(cinfo)->startOfFile = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    JpegFileSource* src = SourceOf(cinfo);
    size_t count = std::fread(src->buffer, 1, kJpegBufferBytes, src->stream);
    if (count == 0) {
        if (src->startOfFile) {
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        }
        WARNMS(cinfo, JWRN_JPEG_EOF);
        // An end-of-image marker lets the decoder finish a cut-short file.
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        count = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = count;
    src->startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) {
        return;
    }
    jpeg_source_mgr* src = cinfo->src;
    size_t n = size_t(count);
    while (n > src->bytes_in_buffer) {
        n -= src->bytes_in_buffer;
        (void)(*src->fill_input_buffer)(cinfo);
    }
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
}

void TermSource(j_decompress_ptr) {}

}  // namespace

void JpegFileSource::Attach(j_decompress_ptr cinfo, FILE* stream) {
    if (cinfo->src == nullptr) {
        auto* src = static_cast<JpegFileSource*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(JpegFileSource)));
        src->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kJpegBufferBytes));
        cinfo->src = &src->pub;
    }
    JpegFileSource* src = SourceOf(cinfo);
    src->pub.init_source = InitSource;
    src->pub.fill_input_buffer = FillInputBuffer;
    src->pub.skip_input_data = SkipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = TermSource;
    src->stream = stream;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
}

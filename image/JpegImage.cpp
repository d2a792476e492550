#include "image/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "image/FileStream.h"
#include "image/ImageLimits.h"
#include "image/JpegFileSource.h"

namespace {

// libjpeg's message for the failed decode; one decode at a time runs.
char jpegErrorText[JMSG_LENGTH_MAX];

struct JumpingErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf returnPoint;
};

[[noreturn]] void JumpBack(j_common_ptr cinfo) {
    (*cinfo->err->format_message)(cinfo, jpegErrorText);
    std::longjmp(reinterpret_cast<JumpingErrorManager*>(cinfo->err)->returnPoint, 1);
}

// Stops a file whose scans go on and on: each one walks the whole picture.
void LimitScans(j_common_ptr cinfo) {
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxJpegScans) {
        std::snprintf(jpegErrorText, sizeof jpegErrorText, "Too many scans (over %d)",
                      kMaxJpegScans);
        std::longjmp(reinterpret_cast<JumpingErrorManager*>(cinfo->err)->returnPoint, 1);
    }
}

// Bytes from the stream's position to its end; 0 when it cannot seek.
uint64_t BytesLeft(FILE* stream) {
    const long at = std::ftell(stream);
    if (at < 0 || std::fseek(stream, 0, SEEK_END) != 0) {
        return 0;
    }
    const long end = std::ftell(stream);
    std::fseek(stream, at, SEEK_SET);
    return end > at ? uint64_t(end - at) : 0;
}

uint8_t CmykChannel(int c, int k) {
    const int v = c - (255 - k);
    return static_cast<uint8_t>(v > 0 ? v : 0);
}

}  // namespace

const char* JpegImage::ErrorText() {
    return jpegErrorText;
}

bool JpegImage::Load(const char* fileName) {
    FileStream stream;
    if (!stream.Open(fileName, "rb")) {
        return false;
    }
    return LoadFromStream(stream.Get());
}

bool JpegImage::LoadFromStream(FILE* stream) {
    pixels.reset();
    holdsData = true;
    return Decode(stream);
}

// Nothing with a destructor may live in this frame: an error jumps back over it.
bool JpegImage::Decode(FILE* stream) {
    width = 0;
    height = 0;
    bytesPerPixel = 0;
    pixels.reset();
    jpegErrorText[0] = '\0';

    const uint64_t fileBytes = BytesLeft(stream);
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    jpeg_progress_mgr progress;
    std::memset(&progress, 0, sizeof progress);
    progress.progress_monitor = LimitScans;
    JumpingErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JumpBack;
    if (setjmp(err.returnPoint)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    cinfo.mem->max_memory_to_use = long(kMaxImageBytes);
    JpegFileSource::Attach(&cinfo, stream);
    jpeg_read_header(&cinfo, TRUE);

    // A few header bytes must not make libjpeg or us allocate without bound:
    // besides the rows, a progressive file holds every coefficient of the
    // picture in memory (2 bytes per sample at most).
    const uint64_t outBytes = cinfo.out_color_space == JCS_GRAYSCALE ? 1 : 3;
    const uint64_t area = uint64_t(cinfo.image_width) * cinfo.image_height;
    const uint64_t coefficientBytes =
        cinfo.progressive_mode ? area * uint64_t(cinfo.num_components) * sizeof(JCOEF) : 0;
    // A short file declaring a huge picture would also be decoded in full,
    // the missing data as grey: the work is bounded by the file's size.
    const bool moreThanItCanHold = fileBytes != 0 && area > fileBytes * kMaxJpegPixelsPerByte;
    if (cinfo.image_width > JDIMENSION(kMaxImageSide) ||
        cinfo.image_height > JDIMENSION(kMaxImageSide) || area * outBytes > kMaxImageBytes ||
        coefficientBytes > kMaxImageBytes || moreThanItCanHold) {
        std::snprintf(jpegErrorText, sizeof jpegErrorText, "Image too large (%u x %u)",
                      unsigned(cinfo.image_width), unsigned(cinfo.image_height));
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    width = int32_t(cinfo.image_width);
    height = int32_t(cinfo.image_height);

    const JDIMENSION stride = cinfo.output_width * JDIMENSION(cinfo.output_components);
    JSAMPARRAY row =
        (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, stride, 1);
    // Zero-filled, so rows a failed decode never reaches stay black.
    const size_t rowBytes = size_t(cinfo.output_width) * size_t(outBytes);
    pixels = AllocateZeroed<uint8_t>(rowBytes * cinfo.output_height);
    if (!pixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    uint8_t* const block = pixels.get();
    bytesPerPixel = int32_t(outBytes);

    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION y = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) {
            break;
        }
        uint8_t* out = block + size_t(y) * rowBytes;
        const JSAMPLE* in = row[0];
        if (cinfo.out_color_space == JCS_GRAYSCALE || cinfo.out_color_space == JCS_RGB) {
            std::memcpy(out, in, rowBytes);
        } else if (cinfo.out_color_space == JCS_CMYK) {
            for (JDIMENSION x = 0; x < cinfo.output_width; ++x, in += 4, out += 3) {
                out[0] = CmykChannel(in[0], in[3]);
                out[1] = CmykChannel(in[1], in[3]);
                out[2] = CmykChannel(in[2], in[3]);
            }
        } else {
            break;  // finishing below reports the rows left undecoded
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return jpegErrorText[0] == '\0';
}

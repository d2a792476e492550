#include "image/SplashPicture.h"

#include <cstddef>
#include <new>

SplashPicture::SplashPicture() {
    image_.Load("First.jpg");
    width = image_.width;
    height = image_.height;
    rgb = image_.pixels.get();
    if (rgb == nullptr || image_.bytesPerPixel != 1) {
        return;
    }
    const size_t n = size_t(width) * size_t(height);
    widened_.reset(new (std::nothrow) uint8_t[n * 3]);
    if (widened_) {
        for (size_t i = 0; i < n; ++i) {
            widened_[3 * i] = widened_[3 * i + 1] = widened_[3 * i + 2] = rgb[i];
        }
    }
    rgb = widened_.get();
}

#pragma once

#include <cstdint>
#include <memory>

#include "image/JpegImage.h"

// The title picture, "First.jpg", as RGB rows for a texture: both
// renderers' LoadSplashTexture. Silent: after a failed load it holds
// whatever was decoded (undecoded rows black), or no pixels at all (rgb null).
class SplashPicture {
  public:
    SplashPicture();

    int32_t width = 0;
    int32_t height = 0;
    const uint8_t* rgb = nullptr;

  private:
    JpegImage image_;
    // A greyscale picture widened to RGB, the format every splash upload uses.
    std::unique_ptr<uint8_t[]> widened_;
};

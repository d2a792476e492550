#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "image/JpegImage.h"
#include "image/Texture.h"
#include "render/GlRenderer.h"

// The title picture. Silent: after a failed load the texture holds whatever
// was decoded (undecoded rows black), or no image at all.
void GlRenderer::LoadSplashTexture() {
    JpegImage image;
    image.Load("First.jpg");
    const uint8_t* pixels = image.pixels.get();
    // A greyscale picture is widened to RGB, the format every splash upload uses.
    std::unique_ptr<uint8_t[]> widened;
    if (pixels != nullptr && image.bytesPerPixel == 1) {
        const size_t n = size_t(image.width) * size_t(image.height);
        widened.reset(new (std::nothrow) uint8_t[n * 3]);
        if (widened) {
            for (size_t i = 0; i < n; ++i) {
                widened[3 * i] = widened[3 * i + 1] = widened[3 * i + 2] = pixels[i];
            }
        }
        pixels = widened.get();
    }
    CreateTexture(splashTexture, TextureSet::MipmappedClamped, image.width, image.height,
                  TextureFormat::Rgb, pixels);
}

#include <cstdint>
#include <memory>

#include "image/JpegImage.h"
#include "image/Texture.h"
#include "render/GlRenderer.h"

// The title picture. Silent: after a failed load the texture holds whatever
// was decoded (undecoded rows black), or no image at all.
void GlRenderer::LoadSplashTexture() {
    JpegImage image;
    image.Load("First.jpg");
    std::unique_ptr<uint8_t[]> widened;
    CreateTexture(splashTexture, TextureSet::MipmappedClamped, image.width, image.height,
                  TextureFormat::Rgb, image.RgbPixels(widened));
}

#include "image/SplashPicture.h"
#include "image/Texture.h"
#include "render/GlRenderer.h"

void GlRenderer::LoadSplashTexture() {
    const SplashPicture splash;
    CreateTexture(splashTexture, TextureSet::MipmappedClamped, splash.width, splash.height,
                  TextureFormat::Rgb, splash.rgb);
}

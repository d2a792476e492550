#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "image/BmpImage.h"
#include "image/DibImage.h"
#include "image/ShadowAlpha.h"
#include "image/SplashPicture.h"
#include "platform/FontGlyphs.h"
#include "platform/Platform.h"
#include "render/Gles2Renderer.h"
#include "render/LandscapeUv.h"
#include "render/MipmapChain.h"

namespace {

// Reads a picture of the board, the enemies or the bomb; the same message
// as the fixed-function path when it cannot.
bool LoadBmp(const char* fileName, Gles2Renderer::Texture& texture, TextureSet set,
             const char* caption) {
    BmpImage image;
    if (!image.Load(fileName)) {
        MessageBox("Can't load image", caption);
        return false;
    }
    Gles2Renderer::Create(texture, set, image.Width(), image.Height(), TextureFormat::Rgb,
                          image.PixelBlock());
    return true;
}

}  // namespace

void Gles2Renderer::Create(Texture& texture, TextureSet set, int width, int height,
                           TextureFormat format, const void* pixels) {
    if (glGetString(GL_VERSION) == nullptr) {
        return;  // no context
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &texture.name);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    texture.hasImage = false;
    texture.borderClamp = set == TextureSet::MipmappedClamped;
    if (set == TextureSet::Linear) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    } else {
        const GLint wrap = texture.borderClamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    }
    const bool rgb = format == TextureFormat::Rgb;
    // The linear set samples level 0 only; the fixed function's GLU builds
    // the rest, but nothing reads them.
    const std::vector<MipLevel> levels = MipmapChain::Build(
        width, height, rgb ? 3 : 2, static_cast<const uint8_t*>(pixels), set != TextureSet::Linear);
    if (levels.empty()) {
        return;
    }
    const GLenum layout = rgb ? GL_RGB : GL_LUMINANCE_ALPHA;
    for (size_t i = 0; i < levels.size(); ++i) {
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), static_cast<GLint>(layout),
                     levels[i].width, levels[i].height, 0, layout, GL_UNSIGNED_BYTE,
                     levels[i].pixels.data());
    }
    texture.hasImage = true;
    texture.width = levels[0].width;
    texture.height = levels[0].height;
    texture.levels = static_cast<int>(levels.size());
}

void Gles2Renderer::LoadBoardTextures() {
    // Each file only after all before it loaded: the first failure ends it.
    LoadBmp("wood.bmp", wallTexture, TextureSet::MipmappedClamped, "Board") &&
        LoadBmp("board.bmp", floorTexture, TextureSet::MipmappedClamped, "Board") &&
        LoadBmp("top.bmp", topTexture, TextureSet::MipmappedClamped, "Board") &&
        LoadBmp("LandScape.bmp", landscapeTexture, TextureSet::MipmappedRepeating, "Board");
    texturing_ = true;
    ScaleLandscapeOnce();
}

void Gles2Renderer::LoadHeroTextures() {
    texturing_ = true;
    // A picture that cannot be read (LoadDibImage says so) leaves the hero untextured.
    if (const std::unique_ptr<Image> shadow = LoadDibImage("Shadow.bmp")) {
        const int64_t n = int64_t(shadow->width) * shadow->height;
        const std::unique_ptr<uint8_t[]> pairs(new (std::nothrow) uint8_t[size_t(n) * 2]());
        if (!pairs) {
            MessageBox("Out of memory.", "Error");
        } else {
            MakeShadowAlpha(n, shadow->data.get(), pairs.get());
            Create(shadowTexture, TextureSet::Linear, shadow->width, shadow->height,
                   TextureFormat::LuminanceAlpha, pairs.get());
        }
    }
    if (const std::unique_ptr<Image> skin = LoadDibImage("Hero.bmp")) {
        Create(heroTexture, TextureSet::Linear, skin->width, skin->height, TextureFormat::Rgb,
               skin->data.get());
    }
}

void Gles2Renderer::CreateFontLists() {
    std::vector<FontGlyph> glyphs;
    if (!RasterFontGlyphs("Arial", 30, 700, glyphs) || !atlas_.Load(glyphs)) {
        return;  // text is not drawn
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &fontTexture.name);
    glBindTexture(GL_TEXTURE_2D, fontTexture.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, atlas_.Width(), atlas_.Height(), 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, atlas_.Pixels().data());
    fontTexture.hasImage = true;
    fontTexture.width = atlas_.Width();
    fontTexture.height = atlas_.Height();
    fontTexture.levels = 1;
}

void Gles2Renderer::LoadEnemyTexture() {
    LoadBmp("Enemy1.bmp", enemyTexture, TextureSet::MipmappedClamped, "Board");
}

void Gles2Renderer::LoadBombTexture() {
    LoadBmp("bomb.bmp", bombTexture, TextureSet::MipmappedClamped, "Bomb");
}

void Gles2Renderer::LoadSplashTexture() {
    const SplashPicture splash;
    Create(splashTexture, TextureSet::MipmappedClamped, splash.width, splash.height,
           TextureFormat::Rgb, splash.rgb);
    texturing_ = true;
}

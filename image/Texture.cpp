#include "image/Texture.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <GL/glu.h>

#include "image/BmpImage.h"
#include "image/DibImage.h"
#include "platform/Platform.h"

namespace {

bool IsPowerOfTwo(int32_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

}  // namespace

void CreateTexture(GLuint& field, TextureSet set, int32_t width, int32_t height,
                   TextureFormat format, const void* pixels) {
    // Without a current context (the window got no pixel format) there is
    // nothing to make, and GLU would read a null version string.
    if (glGetString(GL_VERSION) == nullptr) {
        return;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows are packed
    glGenTextures(1, &field);
    glBindTexture(GL_TEXTURE_2D, field);
    if (set == TextureSet::Linear) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    } else {
        const GLfloat wrap =
            set == TextureSet::MipmappedClamped ? GLfloat(GL_CLAMP) : GLfloat(GL_REPEAT);
        glEnable(GL_TEXTURE_2D);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLfloat(GL_LINEAR));
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLfloat(GL_LINEAR_MIPMAP_LINEAR));
    }
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return;  // GLU would refuse the size anyway; never hand it a null block
    }
    const bool rgb = format == TextureFormat::Rgb;
    // GLU scales a picture whose sides are not powers of two, and its
    // scaling reads the row after the last one: it gets a copy with a spare
    // row of zeros, so that it never reads past the caller's block.
    std::vector<uint8_t> padded;
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) {
        const size_t bytes = size_t(width) * size_t(height) * (rgb ? 3 : 2);
        const size_t spare = size_t(width) * (rgb ? 3 : 2) + 4;
        try {
            padded.assign(bytes + spare, 0);
        } catch (const std::bad_alloc&) {
            return;
        }
        std::memcpy(padded.data(), pixels, bytes);
        pixels = padded.data();
    }
    gluBuild2DMipmaps(GL_TEXTURE_2D, rgb ? 3 : 2, width, height, rgb ? GL_RGB : GL_LUMINANCE_ALPHA,
                      GL_UNSIGNED_BYTE, pixels);
}

bool LoadBmpTexture(const char* fileName, GLuint& field, TextureSet set, const char* caption) {
    BmpImage image;
    if (!image.Load(fileName)) {
        MessageBox("Can't load image", caption);
        return false;
    }
    CreateTexture(field, set, image.Width(), image.Height(), TextureFormat::Rgb,
                  image.PixelBlock());
    return true;
}

bool LoadShadowTexture(const char* fileName, GLuint& field) {
    const std::unique_ptr<Image> image = LoadDibImage(fileName);
    if (!image) {
        return false;
    }
    const int64_t n = int64_t(image->width) * image->height;
    const std::unique_ptr<uint8_t[]> pairs(new (std::nothrow) uint8_t[size_t(n) * 2]());
    if (!pairs) {
        MessageBox("Out of memory.", "Error");
        return false;
    }
    MakeShadowAlpha(n, image->data.get(), pairs.get());
    CreateTexture(field, TextureSet::Linear, image->width, image->height,
                  TextureFormat::LuminanceAlpha, pairs.get());
    return true;
}

bool LoadDibTexture(const char* fileName, GLuint& field) {
    const std::unique_ptr<Image> image = LoadDibImage(fileName);
    if (!image) {
        return false;
    }
    CreateTexture(field, TextureSet::Linear, image->width, image->height, TextureFormat::Rgb,
                  image->data.get());
    return true;
}

#pragma once

#include <cstdint>

#include <GL/gl.h>

#include "image/ShadowAlpha.h"
#include "image/TextureSet.h"

// Generates a texture name into field, binds it, sets the parameters of the
// set and builds the whole mipmap chain (rescaling sides that are not powers
// of two). Leaves GL_TEXTURE_2D bound and, for the mipmapped sets, enabled.
// The name is made even when there is no picture (no pixels or a side <= 0);
// it then holds no image. Without a current GL context nothing happens and
// field keeps its value.
void CreateTexture(GLuint& field, TextureSet set, int32_t width, int32_t height,
                   TextureFormat format, const void* pixels);

// Texture-loading step of the board, the enemies and the bomb: reads fileName
// with BmpImage and makes the texture into field. When the file cannot be
// read, shows "Can't load image" under caption ("Board" or "Bomb"), leaves
// field unchanged and answers false.
bool LoadBmpTexture(const char* fileName, GLuint& field, TextureSet set, const char* caption);

// Texture-loading steps of the hero, called by Hero::LoadTextures after it has
// set the unpack alignment to 1 and enabled GL_TEXTURE_2D: first the shadow
// ("Shadow.bmp", a luminance-alpha texture from MakeShadowAlpha), then the
// skin ("Hero.bmp", RGB); both with the linear set. Each reads its file with
// LoadDibImage, which shows its own message on failure; field is then left
// unchanged and the answer is false.
bool LoadShadowTexture(const char* fileName, GLuint& field);
bool LoadDibTexture(const char* fileName, GLuint& field);

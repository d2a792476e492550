#pragma once

// The three ways the game's textures are made.
enum class TextureSet {
    MipmappedClamped,    // GL_CLAMP, trilinear mipmaps: board blocks and floor, enemy, bomb, title
    MipmappedRepeating,  // GL_REPEAT, trilinear mipmaps: the landscape
    Linear,              // linear filters, wrap left at the default: the hero and its shadow
};

// Pixel layout handed to CreateTexture: packed rows, row 0 uploaded as t = 0.
enum class TextureFormat {
    Rgb,             // 3 bytes per pixel: red, green, blue
    LuminanceAlpha,  // 2 bytes per pixel: luminance, alpha
};

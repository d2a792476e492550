#pragma once

#include <GLES2/gl2.h>

#include <string>

// A shader program of the OpenGL ES renderer, one per way of texturing: the
// fixed-function look it replaces as GLSL ES 1.00 (per-vertex lighting with the game's two
// lights, texture modulate and decal, OpenGL 1.1's clamp to a black border,
// alpha test, the font's glyphs). Gles2Renderer builds them once, at its
// first use of the context.
class Gles2Program {
  public:
    // Vertex attribute slots.
    static constexpr GLuint kPosition = 0;
    static constexpr GLuint kTexCoord = 1;
    static constexpr GLuint kNormal = 2;

    // How the fragment takes the texture.
    enum TexMode { kNoTexture = 0, kModulate = 1, kDecal = 2, kGlyph = 3 };

    Gles2Program() = default;
    Gles2Program(const Gles2Program&) = delete;
    Gles2Program& operator=(const Gles2Program&) = delete;
    ~Gles2Program();

    // Compiles and links the program for one way of texturing (the border
    // clamp only with a texture), with or without the alpha test; false with
    // the driver's log in error.
    bool Build(TexMode mode, bool borderClamp, bool alphaTest, std::string& error);
    bool Built() const { return program_ != 0; }
    void Use() const { glUseProgram(program_); }

    GLint modelView = -1;      // mat4
    GLint projection = -1;     // mat4
    GLint lighting = -1;       // int: 1 lit, 0 the colour as given
    GLint color = -1;          // vec4: the current colour
    GLint lightPosition = -1;  // vec4: light 0 in eye space (light 1 adds only ambient)
    GLint clampSize = -1;      // vec2: level 0's size for a border clamp, 0 for none
    GLint maxLevel = -1;       // float: the last mipmap level
    GLint alphaRef = -1;       // float: fragments at or below it are dropped (alpha test only)
    GLint texture = -1;        // sampler2D, unit 0

  private:
    GLuint program_ = 0;
};

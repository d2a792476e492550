#include "render/Gles2Program.h"

#include <vector>

namespace {

// Lighting as OpenGL 1.1 computes it for the game's setup: the default
// material (ambient 0.2, diffuse 0.8, no specular), the global ambient 0.2,
// two positional lights with ambient 0.1, of which only light 0 has the
// default white diffuse part.
const char* const kVertexShader = R"(
attribute vec3 aPosition;
attribute vec2 aTexCoord;
attribute vec3 aNormal;
uniform mat4 uModelView;
uniform mat4 uProjection;
uniform int uLighting;
uniform vec4 uColor;
uniform vec4 uLightPosition;
varying vec4 vColor;
varying vec2 vTexCoord;
void main() {
    vec4 eye = uModelView * vec4(aPosition, 1.0);
    gl_Position = uProjection * eye;
    vTexCoord = aTexCoord;
    if (uLighting != 0) {
        vec3 n = (uModelView * vec4(aNormal, 0.0)).xyz;
        vec3 l = normalize(uLightPosition.xyz - eye.xyz);
        float diffuse = max(dot(n, l), 0.0);
        vColor = vec4(min(vec3(0.08 + 0.8 * diffuse), 1.0), 1.0);
    } else {
        vColor = uColor;
    }
}
)";

// One program per way of texturing (TEX_MODE, BORDER_CLAMP) and alpha test
// (ALPHA_TEST), so that the software rasteriser runs no branch it does not
// need: a shader that may discard keeps it from rejecting hidden fragments
// early, so only the alpha-tested draws (the shadow) and the glyphs have one. A clamped texture
// samples a black, transparent border beyond its edge: the share of the
// bilinear footprint inside the picture at the mipmap levels the
// derivatives pick darkens the sample taken clamped to the edge.
const char* const kFragmentShader = R"(
#if defined(BORDER_CLAMP) && defined(GL_OES_standard_derivatives)
#extension GL_OES_standard_derivatives : enable
#define BORDER_LEVELS
#endif
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D uTexture;
uniform vec2 uClampSize;
uniform float uMaxLevel;
uniform float uAlphaRef;
varying vec4 vColor;
varying vec2 vTexCoord;
float Inside(vec2 uv, vec2 size) {
    vec2 w = clamp(uv * size + 0.5, 0.0, 1.0) * clamp((1.0 - uv) * size + 0.5, 0.0, 1.0);
    return w.x * w.y;
}
void main() {
    vec4 c = vColor;
#if TEX_MODE == 3
    if (texture2D(uTexture, vTexCoord).a < 0.5) {
        discard;
    }
#elif TEX_MODE != 0
    vec4 t = texture2D(uTexture, vTexCoord);
#ifdef BORDER_LEVELS
    vec2 st = vTexCoord * uClampSize;
    float rho = max(length(dFdx(st)), length(dFdy(st)));
    float lambda = clamp(log2(max(rho, 1e-6)), 0.0, uMaxLevel);
    float base = floor(lambda);
    vec2 size0 = max(uClampSize / exp2(base), 1.0);
    vec2 size1 = max(size0 * 0.5, 1.0);
    t *= mix(Inside(vTexCoord, size0), Inside(vTexCoord, size1), lambda - base);
#elif defined(BORDER_CLAMP)
    t *= Inside(vTexCoord, uClampSize);
#endif
#if TEX_MODE == 1
    c *= t;
#else
    c = vec4(t.rgb, c.a);
#endif
#endif
#ifdef ALPHA_TEST
    if (c.a <= uAlphaRef) {
        discard;
    }
#endif
    gl_FragColor = c;
}
)";

GLuint Compile(GLenum type, const char* source, std::string& error) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
        glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
        error = log.data();
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

}  // namespace

Gles2Program::~Gles2Program() {
    // The context may be gone with the game; a name of a dead context is ignored.
    if (program_ != 0) {
        glDeleteProgram(program_);
    }
}

bool Gles2Program::Build(TexMode mode, bool borderClamp, bool alphaTest, std::string& error) {
    const GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader, error);
    if (vs == 0) {
        return false;
    }
    // The defines come first; the extension directive may follow them.
    const std::string fragment = "#define TEX_MODE " + std::to_string(static_cast<int>(mode)) +
                                 "\n" + (borderClamp ? "#define BORDER_CLAMP\n" : "") +
                                 (alphaTest ? "#define ALPHA_TEST\n" : "") + kFragmentShader;
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, fragment.c_str(), error);
    if (fs == 0) {
        glDeleteShader(vs);
        return false;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, kPosition, "aPosition");
    glBindAttribLocation(program, kTexCoord, "aTexCoord");
    glBindAttribLocation(program, kNormal, "aNormal");
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
        glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
        error = log.data();
        glDeleteProgram(program);
        return false;
    }
    program_ = program;
    modelView = glGetUniformLocation(program, "uModelView");
    projection = glGetUniformLocation(program, "uProjection");
    lighting = glGetUniformLocation(program, "uLighting");
    color = glGetUniformLocation(program, "uColor");
    lightPosition = glGetUniformLocation(program, "uLightPosition");
    clampSize = glGetUniformLocation(program, "uClampSize");
    maxLevel = glGetUniformLocation(program, "uMaxLevel");
    alphaRef = glGetUniformLocation(program, "uAlphaRef");
    texture = glGetUniformLocation(program, "uTexture");
    glUseProgram(program);
    glUniform1i(texture, 0);
    return true;
}

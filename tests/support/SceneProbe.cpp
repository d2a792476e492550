#include "support/SceneProbe.h"

#include <GL/glu.h>

#include <filesystem>
#include <system_error>

#include "image/PngWriter.h"

GLuint PatternTexture(int w, int h, const uint8_t* rgb) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

GLuint SolidColourTexture(uint8_t r, uint8_t g, uint8_t b) {
    const uint8_t px[3] = {r, g, b};
    return PatternTexture(1, 1, px);
}

bool ProjectToWindow(const GameHarness& h, const Vec3& p, int& x, int& y) {
    GLdouble model[16], proj[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    GLdouble wx = 0, wy = 0, wz = 0;
    if (gluProject(p.x, p.y, p.z, model, proj, view, &wx, &wy, &wz) != GL_TRUE) {
        return false;
    }
    x = static_cast<int>(wx);
    y = h.height - 1 - static_cast<int>(wy);
    return x >= 0 && x < h.width && y >= 0 && y < h.height && wz > 0.0 && wz < 1.0;
}

std::string SaveScreenshot(const GameHarness& h, const std::string& name) {
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::path("..") / "screenshots";
    std::filesystem::create_directories(dir, ec);
    const std::string path = (dir / name).string();
    if (ec || !WritePng(path, h.frame.data(), h.width, h.height)) {
        return {};
    }
    return path;
}

#include "app/Screenshot.h"

#include <GL/gl.h>
#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "image/PngWriter.h"

std::string SaveScreenshot(int width, int height, std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "the window has no picture";
        return "";
    }
    // Read before the swap: what a buffer holds after it is up to the driver.
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> flipped(row * static_cast<size_t>(height));
    // An error left over from drawing must not read as this one's.
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, flipped.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    if (glGetError() != GL_NO_ERROR) {
        error = "the picture could not be read";
        return "";
    }
    std::vector<uint8_t> rgb(flipped.size());
    for (int y = 0; y < height; ++y) {
        std::memcpy(&rgb[static_cast<size_t>(y) * row],
                    &flipped[static_cast<size_t>(height - 1 - y) * row], row);
    }

    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = std::string("quorvax-") + stamp + ".png";
    struct stat st;
    for (int n = 2; stat(name.c_str(), &st) == 0; ++n) {
        name = std::string("quorvax-") + stamp + "-" + std::to_string(n) + ".png";
    }
    if (!WritePng(name, rgb.data(), width, height)) {
        error = "cannot write " + name;
        return "";
    }
    return name;
}

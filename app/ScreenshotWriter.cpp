#include "app/ScreenshotWriter.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "image/PngWriter.h"
#include "platform/System.h"

namespace {

// The first free name for a shot taken at `taken`.
std::string ShotName(std::time_t taken) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &taken);
#else
    localtime_r(&taken, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = std::string("quorvax-") + stamp + ".png";
    std::error_code error;
    for (int n = 2; std::filesystem::exists(name, error); ++n) {
        name = std::string("quorvax-") + stamp + "-" + std::to_string(n) + ".png";
    }
    return name;
}

}  // namespace

ScreenshotWriter::~ScreenshotWriter() {
    Finish();
}

void ScreenshotWriter::Take(int width, int height) {
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "quorvax: screenshot not saved: the window has no picture\n");
        return;
    }
    // Read before the swap: what a buffer holds after it is up to the driver.
    Shot shot;
    shot.width = width;
    shot.height = height;
    shot.taken = std::time(nullptr);
    shot.rows.resize(static_cast<size_t>(width) * 4 * static_cast<size_t>(height));
    // An error left over from drawing must not read as this one's.
    while (glGetError() != GL_NO_ERROR) {
    }
    // RGBA, whose rows are always aligned: drivers copy it as it is, where
    // RGB takes them a conversion on this thread.
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, shot.rows.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    if (glGetError() != GL_NO_ERROR) {
        std::fprintf(stderr, "quorvax: screenshot not saved: the picture could not be read\n");
        return;
    }
    if (!Sys().HasThreads()) {
        // The page's build has none: written here, before the next tick.
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            pending_.push_back(std::move(shot));
            running_ = true;
        }
        Run();
        return;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back(std::move(shot));
    if (!running_) {
        // The worker before has seen the queue empty and is ending.
        if (worker_.joinable()) {
            worker_.join();
        }
        running_ = true;
        worker_ = std::thread(&ScreenshotWriter::Run, this);
    }
}

void ScreenshotWriter::Finish() {
    // The worker ends by itself once the queue is empty.
    if (worker_.joinable()) {
        worker_.join();
    }
}

void ScreenshotWriter::Run() {
    for (;;) {
        Shot shot;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (pending_.empty()) {
                running_ = false;
                return;
            }
            shot = std::move(pending_.front());
            pending_.pop_front();
        }
        // RGB, top row first, for the file.
        const size_t width = static_cast<size_t>(shot.width);
        const size_t height = static_cast<size_t>(shot.height);
        std::vector<uint8_t> rgb(width * height * 3);
        for (size_t y = 0; y < height; ++y) {
            const uint8_t* from = &shot.rows[(height - 1 - y) * width * 4];
            uint8_t* to = &rgb[y * width * 3];
            for (size_t x = 0; x < width; ++x) {
                to[x * 3] = from[x * 4];
                to[x * 3 + 1] = from[x * 4 + 1];
                to[x * 3 + 2] = from[x * 4 + 2];
            }
        }
        shot.rows = {};
        // Named here, in the order taken, so that two shots of one second
        // cannot both find the same name free.
        const std::string name = ShotName(shot.taken);
        if (WritePng(name, rgb.data(), shot.width, shot.height)) {
            // A notice, not an error: standard output (the page's console
            // takes standard error as errors).
            std::printf("quorvax: screenshot saved as %s\n", name.c_str());
            std::fflush(stdout);
            Sys().FileSaved(name);
        } else {
            std::fprintf(stderr, "quorvax: screenshot not saved: cannot write %s\n", name.c_str());
        }
    }
}

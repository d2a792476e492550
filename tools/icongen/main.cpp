// quorvax_icongen OUT_DIR NAME: writes the application icon as
// OUT_DIR/<n>x<n>/apps/NAME.png at 32, 64, 128 and 256 pixels, each pixel of
// the 32 x 32 icon becoming a square block, so the edges stay crisp.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "image/PngWriter.h"
#include "res/Resources.h"

namespace {

bool MakeDirs(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            const std::string part = path.substr(0, i);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    return true;
}

// The icon scaled up by a whole factor, as RGB (it is fully opaque).
std::vector<uint8_t> Upscale(const uint8_t* rgba, int size, int factor) {
    const int out = size * factor;
    std::vector<uint8_t> rgb(static_cast<size_t>(out) * out * 3);
    for (int y = 0; y < out; ++y) {
        for (int x = 0; x < out; ++x) {
            const uint8_t* s = rgba + (static_cast<size_t>(y / factor) * size + x / factor) * 4;
            uint8_t* d = &rgb[(static_cast<size_t>(y) * out + x) * 3];
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    return rgb;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvax_icongen OUT_DIR NAME\n");
        return 2;
    }
    const std::string outDir = argv[1];
    const std::string name = argv[2];
    for (int factor : {1, 2, 4, 8}) {
        const int size = kIconSize * factor;
        const std::string dir =
            outDir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        const std::string path = dir + "/" + name + ".png";
        const std::vector<uint8_t> rgb = Upscale(IconRgba(), kIconSize, factor);
        if (!MakeDirs(dir) || !WritePng(path, rgb.data(), size, size)) {
            std::fprintf(stderr, "quorvax_icongen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

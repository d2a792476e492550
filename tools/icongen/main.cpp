// quorvax_icongen OUT_DIR NAME: writes the application icon as
// OUT_DIR/<n>x<n>/apps/NAME.png at 32, 64, 128 and 256 pixels, each pixel of
// the 32 x 32 icon becoming a square block, so the edges stay crisp, and as
// OUT_DIR/quorvax.ico, icon 128 of the Windows program file.
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

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8 & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One 32 x 32 picture in 32 bits: the icon directory, then a DIB of twice
// the height (colours bottom-up, then an all-clear AND mask).
bool WriteIco(const std::string& path, const uint8_t* rgba, int size) {
    const uint32_t maskRow = static_cast<uint32_t>((size + 31) / 32 * 4);
    const uint32_t imageBytes = 40 + static_cast<uint32_t>(size * size * 4) + maskRow * size;
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // an icon
    Put16(out, 1);  // one picture
    out.push_back(static_cast<uint8_t>(size));
    out.push_back(static_cast<uint8_t>(size));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, imageBytes);
    Put32(out, 22);  // where the picture starts: right after this entry
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(size));
    Put32(out, static_cast<uint32_t>(size * 2));
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i) {
        Put32(out, 0);
    }
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const uint8_t* s = rgba + (static_cast<size_t>(y) * size + x) * 4;
            out.insert(out.end(), {s[2], s[1], s[0], s[3]});
        }
    }
    out.insert(out.end(), maskRow * size, 0);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
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
    const std::string ico = outDir + "/quorvax.ico";
    if (!WriteIco(ico, IconRgba(), kIconSize)) {
        std::fprintf(stderr, "quorvax_icongen: cannot write %s\n", ico.c_str());
        return 1;
    }
    return 0;
}

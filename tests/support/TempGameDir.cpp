#include "support/TempGameDir.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "support/ScratchDir.h"

namespace {

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

}  // namespace

TempGameDir::TempGameDir() : old_(std::filesystem::current_path()) {
    const std::string dir = MakeScratchDir("quorvax-");
    if (!dir.empty()) {
        dir_ = dir;
        std::filesystem::current_path(dir_);
    }
}

TempGameDir::~TempGameDir() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    if (!dir_.empty()) {
        std::filesystem::remove_all(dir_, ec);
    }
}

void TempGameDir::WriteBmp(const std::string& name, int w, int h, uint8_t r, uint8_t g,
                           uint8_t b) const {
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    const uint32_t bits = rowBytes * static_cast<uint32_t>(h);
    std::vector<uint8_t> f{'B', 'M'};
    Put(f, 54 + bits, 4);
    Put(f, 0, 4);
    Put(f, 54, 4);
    Put(f, 40, 4);
    Put(f, static_cast<uint32_t>(w), 4);
    Put(f, static_cast<uint32_t>(h), 4);
    Put(f, 1, 2);
    Put(f, 24, 2);
    Put(f, 0, 4);
    Put(f, bits, 4);
    Put(f, 2835, 4);
    Put(f, 2835, 4);
    Put(f, 0, 4);
    Put(f, 0, 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            f.push_back(b);
            f.push_back(g);
            f.push_back(r);
        }
        f.resize(f.size() + (rowBytes - static_cast<uint32_t>(w) * 3), 0);
    }
    if (FILE* out = std::fopen(name.c_str(), "wb")) {
        std::fwrite(f.data(), 1, f.size(), out);
        std::fclose(out);
    }
}

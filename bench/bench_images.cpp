// Loading and uploading the game's nine pictures, from the game's working
// directory (QUORVAX_GAME_DIR, else build/game beside this program's
// directory), on an offscreen OpenGL context (Mesa llvmpipe). Per picture:
// the reader alone, and the reader plus the mipmapped upload; then all nine
// in the order the game makes them. Missing pictures are skipped with a note.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "image/BmpImage.h"
#include "image/DibImage.h"
#include "image/JpegImage.h"
#include "image/Texture.h"
#include "platform/System.h"
#include "platform/virtual/VirtualSystem.h"

namespace {

enum class Reader { Bmp, Shadow, Dib, Jpeg };

struct Picture {
    const char* file;
    Reader reader;
    TextureSet set;
};

// In the order the game makes them.
const Picture kPictures[] = {
    {"wood.bmp", Reader::Bmp, TextureSet::MipmappedClamped},
    {"board.bmp", Reader::Bmp, TextureSet::MipmappedClamped},
    {"top.bmp", Reader::Bmp, TextureSet::MipmappedClamped},
    {"LandScape.bmp", Reader::Bmp, TextureSet::MipmappedRepeating},
    {"Shadow.bmp", Reader::Shadow, TextureSet::Linear},
    {"Hero.bmp", Reader::Dib, TextureSet::Linear},
    {"Enemy1.bmp", Reader::Bmp, TextureSet::MipmappedClamped},
    {"First.jpg", Reader::Jpeg, TextureSet::MipmappedClamped},
    {"bomb.bmp", Reader::Bmp, TextureSet::MipmappedClamped},
};

void Read(const Picture& p) {
    if (p.reader == Reader::Bmp) {
        BmpImage image;
        benchmark::DoNotOptimize(image.Load(p.file));
    } else if (p.reader == Reader::Jpeg) {
        JpegImage image;
        benchmark::DoNotOptimize(image.Load(p.file));
    } else {
        benchmark::DoNotOptimize(LoadDibImage(p.file));
    }
}

// What the game's loading step for the picture does; the texture is deleted
// again so that the runs do not pile up texture memory.
void ReadAndUpload(const Picture& p) {
    GLuint name = 0;
    switch (p.reader) {
        case Reader::Bmp:
            LoadBmpTexture(p.file, name, p.set, "Board");
            break;
        case Reader::Shadow:
            LoadShadowTexture(p.file, name);
            break;
        case Reader::Dib:
            LoadDibTexture(p.file, name);
            break;
        case Reader::Jpeg: {
            JpegImage image;
            image.Load(p.file);
            CreateTexture(name, p.set, image.width, image.height, TextureFormat::Rgb,
                          image.pixels.get());
            break;
        }
    }
    glFinish();
    glDeleteTextures(1, &name);
}

void BM_Read(benchmark::State& state, const Picture* p) {
    for (auto _ : state) {
        Read(*p);
    }
}

void BM_ReadAndUpload(benchmark::State& state, const Picture* p) {
    for (auto _ : state) {
        ReadAndUpload(*p);
    }
}

void BM_AllNine(benchmark::State& state, std::vector<const Picture*> present) {
    for (auto _ : state) {
        for (const Picture* p : present) {
            ReadAndUpload(*p);
        }
    }
}

std::filesystem::path GameDir() {
    if (const char* dir = std::getenv("QUORVAX_GAME_DIR")) {
        return dir;
    }
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path("build/game") : self.parent_path().parent_path() / "game";
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path dir = GameDir();
    if (chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "bench_images: no game directory %s\n", dir.c_str());
        return 1;
    }
    VirtualSystem sys;
    SetSys(&sys);
    if (!sys.MakeStandaloneGlContext(64, 64)) {
        std::fprintf(stderr, "bench_images: no OpenGL context\n");
        return 1;
    }
    std::printf("pictures from %s, renderer %s\n", dir.c_str(),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    std::vector<const Picture*> present;
    for (const Picture& p : kPictures) {
        if (!std::filesystem::exists(p.file)) {
            std::printf("note: %s is missing, skipped\n", p.file);
            continue;
        }
        present.push_back(&p);
        benchmark::RegisterBenchmark((std::string("Read/") + p.file).c_str(), BM_Read, &p)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("ReadAndUpload/") + p.file).c_str(),
                                     BM_ReadAndUpload, &p)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("AllNine/ReadAndUpload", BM_AllNine, present)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetSys(nullptr);
    return sys.messages.empty() ? 0 : 1;
}

// quorvax-framediff: how far two renderers' frames are apart. Reads pairs of
// binary PPM files (quorvax-replay --shot TICK:FILE.ppm) and prints, over
// all pairs, the mean and the worst per-channel difference and the share of
// pixels with a channel differing by more than a threshold, and the mean and
// share of the frame furthest apart (a few frames drawn wrong would vanish
// in the pooled numbers); fails when one of them is above its limit or the
// pictures do not pair up.
//   quorvax-framediff NAME THRESHOLD MAX_MEAN MAX_WORST MAX_SHARE MAX_FRAME_MEAN MAX_FRAME_SHARE
//                     A1.ppm B1.ppm [A2 B2]...
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

bool ReadPpm(const char* path, Picture& out) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    if (!(in >> magic >> out.width >> out.height >> maxValue) || magic != "P6" || maxValue != 255 ||
        out.width <= 0 || out.height <= 0) {
        return false;
    }
    in.get();
    out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(out.rgb.data()),
                                     static_cast<std::streamsize>(out.rgb.size())));
}

}  // namespace

int main(int argc, char** argv) {
    constexpr int kFirstPicture = 8;
    if (argc < kFirstPicture + 2 || (argc - kFirstPicture) % 2 != 0) {
        std::fprintf(stderr,
                     "usage: quorvax-framediff NAME THRESHOLD MAX_MEAN MAX_WORST MAX_SHARE "
                     "MAX_FRAME_MEAN MAX_FRAME_SHARE A.ppm B.ppm...\n");
        return 2;
    }
    const std::string name = argv[1];
    const int threshold = std::atoi(argv[2]);
    const double maxMean = std::atof(argv[3]);
    const int maxWorst = std::atoi(argv[4]);
    const double maxShare = std::atof(argv[5]);
    const double maxFrameMean = std::atof(argv[6]);
    const double maxFrameShare = std::atof(argv[7]);
    uint64_t sum = 0, channels = 0, pixels = 0, differing = 0;
    int worst = 0;
    double frameMean = 0.0, frameShare = 0.0;
    const char* meanFrame = "";
    const char* shareFrame = "";
    for (int i = kFirstPicture; i + 1 < argc; i += 2) {
        Picture a, b;
        if (!ReadPpm(argv[i], a) || !ReadPpm(argv[i + 1], b)) {
            std::fprintf(stderr, "%s: cannot read %s or %s\n", name.c_str(), argv[i], argv[i + 1]);
            return 1;
        }
        if (a.width != b.width || a.height != b.height) {
            std::fprintf(stderr, "%s: %s and %s differ in size\n", name.c_str(), argv[i],
                         argv[i + 1]);
            return 1;
        }
        uint64_t frameSum = 0, frameDiffering = 0;
        for (size_t p = 0; p < a.rgb.size(); p += 3) {
            int most = 0;
            for (size_t k = 0; k < 3; ++k) {
                const int d = std::abs(int(a.rgb[p + k]) - int(b.rgb[p + k]));
                frameSum += static_cast<uint64_t>(d);
                most = d > most ? d : most;
            }
            worst = most > worst ? most : worst;
            frameDiffering += most > threshold ? 1 : 0;
        }
        const double m = double(frameSum) / double(a.rgb.size());
        const double f = double(frameDiffering) / double(a.rgb.size() / 3);
        if (m > frameMean) {
            frameMean = m;
            meanFrame = argv[i + 1];
        }
        if (f > frameShare) {
            frameShare = f;
            shareFrame = argv[i + 1];
        }
        sum += frameSum;
        differing += frameDiffering;
        channels += a.rgb.size();
        pixels += a.rgb.size() / 3;
    }
    const double mean = channels != 0 ? double(sum) / double(channels) : 0.0;
    const double share = pixels != 0 ? double(differing) / double(pixels) : 0.0;
    std::printf(
        "%s: %d frames, mean difference %.4f, worst %d, pixels differing by more than %d: "
        "%.4f%%; per frame at most mean %.4f, share %.4f%%\n",
        name.c_str(), (argc - kFirstPicture) / 2, mean, worst, threshold, share * 100.0, frameMean,
        frameShare * 100.0);
    bool ok = true;
    if (mean > maxMean) {
        std::printf("%s: mean difference %.4f above %.4f\n", name.c_str(), mean, maxMean);
        ok = false;
    }
    if (worst > maxWorst) {
        std::printf("%s: worst difference %d above %d\n", name.c_str(), worst, maxWorst);
        ok = false;
    }
    if (share > maxShare) {
        std::printf("%s: share %.4f%% above %.4f%%\n", name.c_str(), share * 100.0,
                    maxShare * 100.0);
        ok = false;
    }
    if (frameMean > maxFrameMean) {
        std::printf("%s: mean difference %.4f of %s above %.4f\n", name.c_str(), frameMean,
                    meanFrame, maxFrameMean);
        ok = false;
    }
    if (frameShare > maxFrameShare) {
        std::printf("%s: share %.4f%% of %s above %.4f%%\n", name.c_str(), frameShare * 100.0,
                    shareFrame, maxFrameShare * 100.0);
        ok = false;
    }
    return ok ? 0 : 1;
}

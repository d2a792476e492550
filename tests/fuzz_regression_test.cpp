// Inputs that once took a reader too long or too much memory, kept in the
// fuzzers' corpora as regress_*: each reader must now take them in stride.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/WaveFile.h"
#include "image/BmpImage.h"
#include "image/DibImage.h"
#include "image/FileStream.h"
#include "image/ImageLimits.h"
#include "image/JpegImage.h"
#include "platform/MidiFile.h"
#include "scores/ScoreTable.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The regression inputs of one fuzz target, by file name.
std::vector<std::pair<std::string, Bytes>> RegressionInputs(const std::string& target) {
    std::vector<std::pair<std::string, Bytes>> inputs;
    const std::filesystem::path dir = std::filesystem::path(QUORVAX_FUZZ_CORPUS) / target;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("regress_", 0) == 0) {
            std::ifstream in(entry.path(), std::ios::binary);
            inputs.emplace_back(name, Bytes(std::istreambuf_iterator<char>(in), {}));
        }
    }
    return inputs;
}

struct MemoryStream {
    explicit MemoryStream(const Bytes& bytes) { stream.OpenMemory(bytes.data(), bytes.size()); }
    FILE* Get() const { return stream.Get(); }
    FileStream stream;
};

}  // namespace

TEST(FuzzRegressions, PicturesFromFewBytesStaySmallOrAreRefused) {
    for (const auto& [name, bytes] : RegressionInputs("bmp")) {
        BmpImage image;
        MemoryStream stream(bytes);
        if (image.LoadFromStream(stream.Get())) {
            EXPECT_LE(uint64_t(image.Width()) * uint64_t(image.Height()) * 3, kMaxImageBytes)
                << name;
            image.Pixel(image.Width() - 1, 0) = Rgb{1, 2, 3};  // inside the block
        }
    }
    for (const auto& [name, bytes] : RegressionInputs("dib")) {
        std::unique_ptr<Image> image;
        const DibStatus status = DecodeDibImage(bytes, image);
        EXPECT_EQ(status == DibStatus::Ok, image != nullptr) << name;
    }
    for (const auto& [name, bytes] : RegressionInputs("jpeg")) {
        JpegImage image;
        MemoryStream stream(bytes);
        EXPECT_FALSE(image.LoadFromStream(stream.Get())) << name;
        EXPECT_FALSE(image.pixels) << name;
    }
}

TEST(FuzzRegressions, SoundsSongsAndScoresReadSafely) {
    for (const auto& [name, bytes] : RegressionInputs("wave")) {
        WaveFile wave;
        MemoryStream stream(bytes);
        wave.Read(stream.Get());
    }
    for (const auto& [name, bytes] : RegressionInputs("midi")) {
        MidiSong song;
        MemoryStream stream(bytes);
        if (MidiFile::Read(stream.Get(), song) == MidiFile::kOk) {
            EXPECT_LE(song.events.size(), MidiFile::kMaxMidiEvents) << name;
        }
    }
    for (const auto& [name, bytes] : RegressionInputs("scores")) {
        ScoreTable table;
        MemoryStream stream(bytes);
        table.Load(stream.Get());
    }
}

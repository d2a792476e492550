// Damaged copies of the game's own files in the working directory: cut short
// at ten points, bytes flipped, emptied. The game starts, shows the message
// its reader has for the damage (if it has one), and plays on; the replay
// tool runs a script over a directory of damaged files without a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "image/BmpImage.h"
#include "image/DibImage.h"
#include "platform/Keys.h"
#include "platform/MidiFile.h"
#include "support/GameHarness.h"
#include "support/TempGameDir.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

const char* const kGameFiles[] = {"wood.bmp",     "board.bmp", "top.bmp",   "LandScape.bmp",
                                  "Enemy1.bmp",   "bomb.bmp",  "Hero.bmp",  "Shadow.bmp",
                                  "First.jpg",    "bomb.wav",  "death.wav", "over.wav",
                                  "SONAT_A1.MID", "scores.dat"};

fs::path GameDir() {
    const char* dir = std::getenv("QUORVAX_GAME_DIR");
    return dir != nullptr ? fs::path(dir) : fs::current_path();
}

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The game's files as built; the score table is not built, so one is made.
std::vector<std::pair<std::string, Bytes>> GoodFiles() {
    std::vector<std::pair<std::string, Bytes>> files;
    for (const char* name : kGameFiles) {
        Bytes bytes = std::string(name) == "scores.dat"
                          ? Bytes{'A',  'n',  'n', 'a', '\t', '1', '2', '3',  '0',
                                  '\r', '\n', 'B', 'o', '\t', '9', '0', '\r', '\n'}
                          : ReadAll(GameDir() / name);
        files.emplace_back(name, std::move(bytes));
    }
    return files;
}

// Ten cut points, from inside the headers to the last byte.
std::vector<size_t> CutPoints(size_t size) {
    std::vector<size_t> cuts = {1,        14,           30,
                                58,       size / 10,    size / 4,
                                size / 2, size * 3 / 4, size > 100 ? size - 100 : size / 3,
                                size - 1};
    for (size_t& c : cuts) {
        c = std::min(c, size - 1);
    }
    return cuts;
}

// Every 53rd byte inverted, from byte 10 on: header fields and data alike.
Bytes Flipped(Bytes bytes) {
    for (size_t i = 10; i < bytes.size(); i += 53) {
        bytes[i] ^= 0xFF;
    }
    return bytes;
}

// Every damaged copy of one file: ten cuts, the flipped copy, the empty file.
std::vector<std::pair<std::string, Bytes>> Damaged(const Bytes& good) {
    std::vector<std::pair<std::string, Bytes>> copies;
    for (const size_t cut : CutPoints(good.size())) {
        copies.emplace_back("cut at " + std::to_string(cut),
                            Bytes(good.begin(), good.begin() + long(cut)));
    }
    copies.emplace_back("flipped", Flipped(good));
    copies.emplace_back("emptied", Bytes{});
    return copies;
}

// What the game should say about the file now in the working directory:
// the reader's own verdict, as the game's message for it.
std::string ExpectedMessage(const std::string& name) {
    if (name.size() > 4 && name.substr(name.size() - 4) == ".bmp" && name != "Hero.bmp" &&
        name != "Shadow.bmp") {
        BmpImage image;
        return image.Load(name.c_str()) ? ""
               : name == "bomb.bmp"     ? "Bomb: Can't load image"
                                        : "Board: Can't load image";
    }
    if (name == "Hero.bmp" || name == "Shadow.bmp") {
        VirtualSystem quiet;
        SetSys(&quiet);
        const bool ok = LoadDibImage(name.c_str()) != nullptr;
        SetSys(nullptr);
        return ok || quiet.messages.empty()
                   ? ""
                   : quiet.messages[0].caption + ": " + quiet.messages[0].text;
    }
    if (name == "SONAT_A1.MID") {
        MidiSong song;
        std::FILE* f = std::fopen(name.c_str(), "rb");
        const int r = MidiFile::Read(f, song);
        if (f != nullptr) {
            std::fclose(f);
        }
        return r < 0 ? "quorvax: Error = " + std::to_string(r) : "";
    }
    return "";  // the title picture, the sounds and the scores fail silently
}

bool Shown(const VirtualSystem& sys, const std::string& message) {
    for (const auto& m : sys.messages) {
        if (m.caption + ": " + m.text == message) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(DamagedFiles, GameStartsShowsTheMessageAndPlaysOn) {
    const auto good = GoodFiles();
    TempGameDir dir;
    for (const auto& [name, bytes] : good) {
        WriteAll(name, bytes);
    }
    for (const auto& [name, bytes] : good) {
        ASSERT_FALSE(bytes.empty()) << name << " was not built";
        for (const auto& [damage, copy] : Damaged(bytes)) {
            SCOPED_TRACE(name + " " + damage);
            WriteAll(name, copy);
            const std::string expected = ExpectedMessage(name);
            VirtualSystem::Options small;
            small.desktopWidth = 160;
            small.desktopHeight = 120;
            {
                GameHarness h(small);
                if (!expected.empty()) {
                    EXPECT_TRUE(Shown(h.sys, expected)) << expected;
                }
                h.StartPlaying();
                EXPECT_FALSE(h.game().waitingForStart);
                const Vec3 start = h.game().hero.position;
                h.Press(VK_UP);
                EXPECT_TRUE(h.Tick(10));
                h.Release(VK_UP);
                const Vec3 moved = h.game().hero.position;
                EXPECT_TRUE(moved.x != start.x || moved.y != start.y);
                h.Press(VK_CONTROL);
                h.Release(VK_CONTROL);
                EXPECT_TRUE(h.Tick(40));  // the bomb goes off, its sound plays
            }
            WriteAll(name, bytes);
        }
    }
}

TEST(DamagedFiles, ReplayRunsAScriptOverThemAll) {
#ifdef _WIN32
    const fs::path replay = GameDir() / "quorvax-replay.exe";
#else
    const fs::path replay = GameDir() / "quorvax-replay";
#endif
    if (!fs::exists(replay)) {
        GTEST_SKIP() << "no " << replay;
    }
    const auto good = GoodFiles();
    TempGameDir dir;
    WriteAll("script.txt", Bytes{});
    {
        std::ofstream script("script.txt");
        script << "2 down space\n3 up space\n5 down up\n5 down ctrl\n40 up ctrl\n"
                  "60 down shift\n62 up shift\n80 down left\n90 up left\n120 up up\n";
    }
    // Every file damaged the same way at once: the k-th cut of each, then all
    // flipped, then all empty.
    for (size_t k = 0; k < 12; ++k) {
        SCOPED_TRACE("damage " + std::to_string(k));
        for (const auto& [name, bytes] : good) {
            WriteAll(name, Damaged(bytes)[k].second);
        }
        // The replay tool's own leaks are the replay tests' to find; here the
        // exit leak scan of the sanitizer build is left out, as LeakSanitizer's
        // tracer crashes after one of these runs in a minimal Debian root.
#ifdef _WIN32
        const std::string prefix;
#else
        const std::string prefix = "ASAN_OPTIONS=detect_leaks=0 ";
#endif
        const std::string command =
            prefix + replay.string() + " --size 160x120 --ticks 150 --script script.txt 2>&1";
        std::unique_ptr<FILE, int (*)(FILE*)> out(popen(command.c_str(), "r"), pclose);
        ASSERT_TRUE(out);
        std::string text;
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, out.get())) > 0;) {
            text.append(buf, n);
        }
        const int status = pclose(out.release());
        EXPECT_EQ(status, 0) << text;
        EXPECT_NE(text.find("end: ran 150 ticks"), std::string::npos) << text;
    }
}

// The generated files beside the game: their headers, sizes and lengths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadAll(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | b.at(at + i);
    }
    return v;
}

uint32_t Be(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        v = (v << 8) | b.at(at + i);
    }
    return v;
}

bool PowerOfTwo(uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

TEST(ContentFiles, BoardEnemyAndBombPicturesAre24BitBmps) {
    for (const char* name :
         {"wood.bmp", "board.bmp", "top.bmp", "LandScape.bmp", "Enemy1.bmp", "bomb.bmp"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> b = ReadAll(name);
        ASSERT_GE(b.size(), 54u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(Le(b, 2, 4), b.size());
        EXPECT_EQ(Le(b, 10, 4), 54u);
        EXPECT_EQ(Le(b, 14, 4), 40u);
        const uint32_t w = Le(b, 18, 4), h = Le(b, 22, 4);
        EXPECT_GE(w, 256u);
        EXPECT_GE(h, 256u);
        EXPECT_TRUE(PowerOfTwo(w) && PowerOfTwo(h));
        EXPECT_EQ(Le(b, 26, 2), 1u);
        EXPECT_EQ(Le(b, 28, 2), 24u);
        EXPECT_EQ(Le(b, 30, 4), 0u);  // uncompressed
        EXPECT_EQ(b.size(), 54u + ((3 * w + 3) & ~3u) * h);
    }
}

TEST(ContentFiles, HeroPicturesUseBothHeaderForms) {
    const std::vector<uint8_t> shadow = ReadAll("Shadow.bmp");
    ASSERT_GE(shadow.size(), 26u + 768u);
    EXPECT_EQ(Le(shadow, 14, 4), 12u);  // core header
    const uint32_t sw = Le(shadow, 18, 2), sh = Le(shadow, 20, 2);
    EXPECT_EQ(Le(shadow, 24, 2), 8u);
    EXPECT_EQ(Le(shadow, 10, 4), 14u + 12u + 256u * 3u);
    EXPECT_EQ(shadow.size(), Le(shadow, 10, 4) + ((sw + 3) & ~3u) * sh);
    // Grey 1 in the middle (the darkest shadow), white in the corners.
    const uint32_t bits = Le(shadow, 10, 4), stride = (sw + 3) & ~3u;
    auto grey = [&](uint32_t x, uint32_t y) {
        const uint8_t index = shadow[bits + y * stride + x];
        return shadow[26 + index * 3];
    };
    EXPECT_EQ(grey(sw / 2, sh / 2), 1);
    EXPECT_EQ(grey(0, 0), 255);
    for (uint32_t x = 0; x < sw; ++x) {
        EXPECT_NE(grey(x, sh / 2), 0) << "black would be see-through";
    }

    const std::vector<uint8_t> hero = ReadAll("Hero.bmp");
    ASSERT_GE(hero.size(), 54u);
    EXPECT_EQ(Le(hero, 14, 4), 40u);
    EXPECT_EQ(Le(hero, 28, 2), 24u);
    EXPECT_TRUE(PowerOfTwo(Le(hero, 18, 4)) && PowerOfTwo(Le(hero, 22, 4)));
}

struct Wav {
    uint32_t rate = 0, channels = 0, bits = 0, format = 0;
    std::vector<int16_t> samples;
};

Wav ReadWav(const char* name) {
    const std::vector<uint8_t> b = ReadAll(name);
    Wav w;
    if (b.size() < 44 || Be(b, 0, 4) != 0x52494646u || Be(b, 8, 4) != 0x57415645u) {
        return w;
    }
    EXPECT_EQ(Le(b, 4, 4) + 8, b.size());
    for (size_t at = 12; at + 8 <= b.size();) {
        const uint32_t id = Be(b, at, 4), size = Le(b, at + 4, 4);
        if (id == 0x666D7420u) {  // "fmt "
            w.format = Le(b, at + 8, 2);
            w.channels = Le(b, at + 10, 2);
            w.rate = Le(b, at + 12, 4);
            w.bits = Le(b, at + 22, 2);
        } else if (id == 0x64617461u) {  // "data"
            EXPECT_LE(at + 8 + size, b.size());
            for (uint32_t i = 0; i + 1 < size && at + 9 + i < b.size(); i += 2) {
                w.samples.push_back(static_cast<int16_t>(Le(b, at + 8 + i, 2)));
            }
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

TEST(ContentFiles, SoundsAre16BitPcmOfTheirLengths) {
    const Wav bomb = ReadWav("bomb.wav"), death = ReadWav("death.wav"), over = ReadWav("over.wav");
    for (const Wav* w : {&bomb, &death, &over}) {
        EXPECT_EQ(w->format, 1u);
        EXPECT_EQ(w->bits, 16u);
        EXPECT_EQ(w->channels, 1u);
        ASSERT_GT(w->rate, 0u);
        ASSERT_FALSE(w->samples.empty());
    }
    const double bombSeconds = static_cast<double>(bomb.samples.size()) / bomb.rate;
    EXPECT_LT(bombSeconds, 1.0);
    EXPECT_NEAR(static_cast<double>(over.samples.size()) / over.rate, 2.0, 0.05);
    EXPECT_LT(static_cast<double>(death.samples.size()) / death.rate, 1.5);
    // The explosion starts at once: its loudest moment lies in the first tenth of a second.
    size_t loudest = 0;
    for (size_t i = 0; i < bomb.samples.size(); ++i) {
        if (std::abs(bomb.samples[i]) > std::abs(bomb.samples[loudest])) {
            loudest = i;
        }
    }
    EXPECT_LT(loudest, bomb.rate / 10);
    EXPECT_GT(std::abs(bomb.samples[loudest]), 8000);
}

uint32_t VarLen(const std::vector<uint8_t>& b, size_t& at) {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) {
        const uint8_t c = b.at(at++);
        v = (v << 7) | (c & 0x7F);
        if ((c & 0x80) == 0) {
            break;
        }
    }
    return v;
}

TEST(ContentFiles, SongIsAFormatOneMidiFileWithTempoChanges) {
    const std::vector<uint8_t> b = ReadAll("SONAT_A1.MID");
    ASSERT_GE(b.size(), 14u);
    ASSERT_EQ(Be(b, 0, 4), 0x4D546864u);  // "MThd"
    EXPECT_EQ(Be(b, 4, 4), 6u);
    EXPECT_EQ(Be(b, 8, 2), 1u);
    const uint32_t tracks = Be(b, 10, 2), division = Be(b, 12, 2);
    EXPECT_GE(tracks, 3u);
    ASSERT_GT(division, 0u);
    ASSERT_LT(division, 0x8000u);
    std::vector<std::pair<uint32_t, uint32_t>> tempos;  // tick, microseconds per quarter
    uint32_t lastTick = 0, notes = 0;
    std::set<int> keys;
    size_t at = 14;
    for (uint32_t t = 0; t < tracks; ++t) {
        ASSERT_EQ(Be(b, at, 4), 0x4D54726Bu) << "track " << t;  // "MTrk"
        const size_t end = at + 8 + Be(b, at + 4, 4);
        ASSERT_LE(end, b.size());
        at += 8;
        uint32_t tick = 0;
        uint8_t status = 0;
        bool ended = false;
        while (at < end) {
            tick += VarLen(b, at);
            if (b.at(at) & 0x80) {
                status = b[at++];
            }
            if (status == 0xFF) {
                const uint8_t type = b.at(at++);
                const uint32_t len = VarLen(b, at);
                if (type == 0x51) {
                    tempos.emplace_back(tick, Be(b, at, 3));
                }
                ended = type == 0x2F;
                at += len;
            } else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
                at += 1;
            } else {
                if ((status & 0xF0) == 0x90 && b.at(at + 1) > 0) {
                    ++notes;
                    keys.insert(b[at]);
                }
                at += 2;
            }
            lastTick = std::max(lastTick, tick);
        }
        EXPECT_TRUE(ended) << "track " << t;
        EXPECT_EQ(at, end);
    }
    std::set<uint32_t> distinct;
    for (const auto& [tick, micros] : tempos) {
        distinct.insert(micros);
    }
    EXPECT_GE(distinct.size(), 2u) << "at least one tempo change";
    double seconds = 0;
    uint32_t from = 0, micros = 500000;
    for (const auto& [tick, value] : tempos) {
        seconds += (tick - from) / static_cast<double>(division) * micros / 1e6;
        from = tick;
        micros = value;
    }
    seconds += (lastTick - from) / static_cast<double>(division) * micros / 1e6;
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 180.0);
    EXPECT_GT(notes, 500u);
    EXPECT_GT(keys.size(), 24u) << "a piece, not a drone";
}

}  // namespace

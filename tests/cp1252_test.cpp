#include <gtest/gtest.h>

#include <string>

#include "platform/Cp1252.h"

TEST(Cp1252, Windows1252Bytes) {
    EXPECT_EQ(Cp1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(Cp1252ToUnicode(0x8A), U'\u0160');
    EXPECT_EQ(Cp1252ToUnicode(0x99), U'\u2122');
    EXPECT_EQ(Cp1252ToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(Cp1252ToUnicode(0x41), U'A');
    EXPECT_EQ(Cp1252ToUnicode(0xE9), U'\u00E9');
    EXPECT_EQ(Cp1252ToUnicode(0xFF), U'\u00FF');
    for (uint8_t undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_TRUE(IsControlCodePoint(Cp1252ToUnicode(undefined))) << int(undefined);
    }
    EXPECT_TRUE(IsControlCodePoint(0x00));
    EXPECT_TRUE(IsControlCodePoint(0x1F));
    EXPECT_TRUE(IsControlCodePoint(0x7F));
    EXPECT_FALSE(IsControlCodePoint(0x20));
    EXPECT_FALSE(IsControlCodePoint(0xA0));
}

TEST(Cp1252, Utf8DecodingNeverOverruns) {
    const std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    size_t pos = 0;
    EXPECT_EQ(NextUtf8(s, pos), U'a');
    EXPECT_EQ(NextUtf8(s, pos), U'\u00E9');
    EXPECT_EQ(NextUtf8(s, pos), U'\u20AC');
    EXPECT_EQ(NextUtf8(s, pos), U'\U0001F600');
    EXPECT_EQ(pos, s.size());

    const std::string bad = "\x80\xE2\x82";  // stray continuation, then a cut-off sequence
    pos = 0;
    EXPECT_EQ(NextUtf8(bad, pos), U'\uFFFD');
    EXPECT_EQ(pos, 1u);
    EXPECT_EQ(NextUtf8(bad, pos), U'\uFFFD');
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(NextUtf8(bad, pos), U'\uFFFD');
    EXPECT_EQ(pos, 3u);

    const std::string broken =
        "\xC3"
        "A";  // lead byte followed by a non-continuation
    pos = 0;
    EXPECT_EQ(NextUtf8(broken, pos), U'\uFFFD');
    EXPECT_EQ(NextUtf8(broken, pos), U'A');
}

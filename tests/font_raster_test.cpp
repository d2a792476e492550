#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Cp1252.h"
#include "platform/linux/FontRaster.h"

namespace {

int MaxCoverage(const FontRaster::Glyph& g) {
    return g.coverage.empty() ? 0 : *std::max_element(g.coverage.begin(), g.coverage.end());
}

}  // namespace

TEST(FontRaster, FindsABoldFaceAtTheRequestedCellHeight) {
    for (int cell : {13, 30, 48}) {
        FontRaster font;
        ASSERT_TRUE(font.Open("Arial", 700, cell)) << cell;
        EXPECT_FALSE(font.Path().empty());
        EXPECT_FALSE(font.FamilyName().empty());
        EXPECT_NEAR(font.CellHeight(), cell, 1) << font.FamilyName() << " at " << cell;
        EXPECT_GT(font.Ascent(), font.Descent());
    }
}

TEST(FontRaster, UnknownFamilyStillGivesAFace) {
    FontRaster font;
    ASSERT_TRUE(font.Open("No Such Family Quorvax", 400, 20));
    EXPECT_NEAR(font.CellHeight(), 20, 1);

    FontRaster missing;
    EXPECT_FALSE(missing.OpenFile("/nonexistent/font.ttf", 20));
    EXPECT_FALSE(missing.IsOpen());
    FontRaster::Glyph g;
    EXPECT_FALSE(missing.Render('A', g));
    EXPECT_EQ(missing.TextWidth("abc"), 0);
}

TEST(FontRaster, GlyphsSitOnTheBaselineWithTheirAdvance) {
    FontRaster font;
    ASSERT_TRUE(font.Open("Arial", 700, 30));
    FontRaster::Glyph a;
    ASSERT_TRUE(font.Render('A', a));
    EXPECT_GT(a.width, 0);
    EXPECT_GT(a.rows, 0);
    EXPECT_EQ(a.coverage.size(), static_cast<size_t>(a.width) * a.rows);
    EXPECT_GE(MaxCoverage(a), 200);
    EXPECT_GT(a.advance, 0);
    EXPECT_GT(a.top, 0);
    EXPECT_LE(a.top, font.Ascent() + 1);
    EXPECT_LE(a.top - a.rows, 1) << "a capital A stands on the baseline";

    FontRaster::Glyph g;
    ASSERT_TRUE(font.Render('g', g));
    EXPECT_LT(g.top - g.rows, 0) << "the g descends below it";

    FontRaster::Glyph space;
    ASSERT_TRUE(font.Render(' ', space));
    EXPECT_GT(space.advance, 0);
    EXPECT_EQ(MaxCoverage(space), 0);

    FontRaster::Glyph euro;
    ASSERT_TRUE(font.Render(Cp1252ToUnicode(0x80), euro));
    EXPECT_GE(MaxCoverage(euro), 200);

    EXPECT_EQ(font.TextWidth("AA"), 2 * a.advance);
    EXPECT_EQ(font.TextWidth(""), 0);
}

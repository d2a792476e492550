#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "image/Texture.h"

TEST(MakeShadowAlpha, AlphaFallsWithBrightnessAndWrapsAtBlack) {
    const std::vector<uint8_t> rgb = {0, 0, 0, 1, 1, 1, 128, 128, 128, 255, 255, 255, 2, 0, 0};
    std::vector<uint8_t> pairs(rgb.size() / 3 * 2);
    MakeShadowAlpha(int64_t(rgb.size() / 3), rgb.data(), pairs.data());
    EXPECT_EQ(pairs, (std::vector<uint8_t>{255, 0, 255, 255, 255, 128, 255, 1, 255, 0}));
}

TEST(MakeShadowAlpha, MatchesTheWholeNumberFormulaForEverySum) {
    for (int sum = 0; sum <= 765; ++sum) {
        const uint8_t r = uint8_t(std::min(sum, 255));
        const uint8_t g = uint8_t(std::min(sum - r, 255));
        const uint8_t rgb[3] = {r, g, uint8_t(sum - r - g)};
        uint8_t pair[2];
        MakeShadowAlpha(1, rgb, pair);
        ASSERT_EQ(pair[1], (256 - sum / 3) % 256) << "sum " << sum;
    }
}

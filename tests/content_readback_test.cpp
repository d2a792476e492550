// The generated pictures read back by the game's own readers, the way up
// the models expect them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "image/BmpImage.h"
#include "image/DibImage.h"
#include "image/JpegImage.h"
#include "image/Texture.h"
#include "platform/virtual/VirtualSystem.h"

namespace {

bool PowerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

TEST(ContentReadback, BmpReaderTakesEveryBoardEnemyAndBombPicture) {
    for (const char* name :
         {"wood.bmp", "board.bmp", "top.bmp", "LandScape.bmp", "Enemy1.bmp", "bomb.bmp"}) {
        BmpImage image;
        ASSERT_TRUE(image.Load(name)) << name;
        EXPECT_GE(image.Width(), 256) << name;
        EXPECT_GE(image.Height(), 256) << name;
        EXPECT_TRUE(PowerOfTwo(image.Width()) && PowerOfTwo(image.Height())) << name;
    }
}

TEST(ContentReadback, EnemySkinLandsTheWayItsModelExpects) {
    // The eye sits in the top right quarter of the texture (u >= 0.75, v < 0.25),
    // its pupil dark in the middle; the same place turned over is purple hide.
    BmpImage image;
    ASSERT_TRUE(image.Load("Enemy1.bmp"));
    const int x = image.Width() * 7 / 8, y = image.Height() / 8;
    const Rgb pupil = image.Pixel(x, y);
    EXPECT_LT(pupil.r + pupil.g + pupil.b, 120);
    const Rgb hide = image.Pixel(image.Width() / 4, image.Height() - 1 - y);
    EXPECT_GT(hide.b, hide.g);
}

TEST(ContentReadback, HeroSkinKeepsTheFileRowOrder) {
    VirtualSystem sys;
    SetSys(&sys);
    std::unique_ptr<Image> hero = LoadDibImage("Hero.bmp");
    ASSERT_NE(hero, nullptr);
    EXPECT_TRUE(PowerOfTwo(hero->width) && PowerOfTwo(hero->height));
    // Texture row t: the jacket right of the zip lies at u 0.71, v 0.23 (blue); the
    // rows turned over would put the red cape there.
    const int x = hero->width * 71 / 100, y = hero->height * 23 / 100;
    const uint8_t* p = &hero->data[(static_cast<size_t>(y) * hero->width + x) * 3];
    EXPECT_GT(p[2], p[0] + 40);
    EXPECT_TRUE(sys.messages.empty());
    SetSys(nullptr);
}

TEST(ContentReadback, ShadowIsOpaqueInTheMiddleAndClearAtTheEdges) {
    VirtualSystem sys;
    SetSys(&sys);
    std::unique_ptr<Image> shadow = LoadDibImage("Shadow.bmp");
    ASSERT_NE(shadow, nullptr);
    const int64_t n = static_cast<int64_t>(shadow->width) * shadow->height;
    std::vector<uint8_t> pairs(static_cast<size_t>(n) * 2);
    MakeShadowAlpha(n, shadow->data.get(), pairs.data());
    auto alpha = [&](int x, int y) {
        return pairs[(static_cast<size_t>(y) * shadow->width + x) * 2 + 1];
    };
    EXPECT_EQ(alpha(shadow->width / 2, shadow->height / 2), 255);
    EXPECT_EQ(alpha(0, 0), 1);
    EXPECT_LE(alpha(0, shadow->height / 2), 8);
    // Softly falling off from the middle outwards, never fully see-through.
    int previous = 256;
    for (int x = shadow->width / 2; x < shadow->width; ++x) {
        const int a = alpha(x, shadow->height / 2);
        EXPECT_LE(a, previous);
        EXPECT_GT(a, 0);
        previous = a;
    }
    SetSys(nullptr);
}

// Luminance statistics of the picture region that a window of w x h shows
// between the given window pixels (the picture is stretched over the window).
struct Stats {
    double mean = 0, high = 0, spread = 0;
};

Stats Region(const JpegImage& img, int w, int h, int x0, int x1, int y0, int y1) {
    std::vector<double> lum;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const int px = std::min(img.width - 1, x * img.width / w);
            const int py = std::min(img.height - 1, y * img.height / h);
            const uint8_t* p = &img.pixels[(static_cast<size_t>(py) * img.width + px) * 3];
            lum.push_back((0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]) / 255);
        }
    }
    Stats s;
    for (double v : lum) {
        s.mean += v;
    }
    s.mean /= lum.size();
    for (double v : lum) {
        s.spread += (v - s.mean) * (v - s.mean);
    }
    s.spread = std::sqrt(s.spread / lum.size());
    std::sort(lum.begin(), lum.end());
    s.high = lum[lum.size() * 98 / 100];
    return s;
}

TEST(ContentReadback, TitlePictureLeavesTheScoreListReadable) {
    JpegImage title;
    ASSERT_TRUE(title.Load("First.jpg"));
    EXPECT_GE(title.width, 1024);
    EXPECT_GE(title.height, 768);
    ASSERT_EQ(title.bytesPerPixel, 3);
    // The list is written from 150 pixels left of the centre rightwards,
    // 30 to 360 pixels down; magenta text has a luminance of about 0.29.
    const int sizes[][2] = {{800, 600}, {1024, 768}, {1280, 720}, {1920, 1080}, {2560, 1440}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        const Stats s = Region(title, w, h, w / 2 - 150, w, 30, 360);
        EXPECT_LT(s.mean, 0.12) << w << "x" << h;
        EXPECT_LT(s.high, 0.2) << w << "x" << h;
        EXPECT_LT(s.spread, 0.06) << w << "x" << h;
    }
    // The rest is not just darkness: the name and the scene light up the bottom.
    const Stats bottom = Region(title, 1024, 768, 0, 1024, 600, 768);
    EXPECT_GT(bottom.high, 0.5);
}

}  // namespace

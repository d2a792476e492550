#include "render/MipmapChain.h"

#include <cstddef>

namespace {

// Area-weighted box filter from one size to another. The source is read as
// GLU reads it: a box reaching past the last row or column reads zeros.
void Scale(int components, int widthIn, int heightIn, const uint8_t* in, int widthOut,
           int heightOut, uint8_t* out) {
    const size_t rowSize = static_cast<size_t>(widthIn) * components;
    auto at = [&](int x, int y, int k) -> float {
        if (x < 0 || y < 0 || x >= widthIn || y >= heightIn) {
            return 0.0f;
        }
        return static_cast<float>(
            in[static_cast<size_t>(y) * rowSize + static_cast<size_t>(x) * components + k]);
    };
    const float convy = static_cast<float>(heightIn) / static_cast<float>(heightOut);
    const float convx = static_cast<float>(widthIn) / static_cast<float>(widthOut);
    const int convyInt = static_cast<int>(convy);
    const float convyFloat = convy - static_cast<float>(convyInt);
    const int convxInt = static_cast<int>(convx);
    const float convxFloat = convx - static_cast<float>(convxInt);
    const float area = convx * convy;

    int lowyInt = 0;
    float lowyFloat = 0.0f;
    int highyInt = convyInt;
    float highyFloat = convyFloat;
    for (int i = 0; i < heightOut; ++i) {
        int lowxInt = 0;
        float lowxFloat = 0.0f;
        int highxInt = convxInt;
        float highxFloat = convxFloat;
        for (int j = 0; j < widthOut; ++j) {
            float totals[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            for (int k = 0; k < components; ++k) {
                float& t = totals[k];
                if (highyInt > lowyInt && highxInt > lowxInt) {
                    // First row, last row, first and last column, then the body.
                    float yPercent = 1.0f - lowyFloat;
                    t += at(lowxInt, lowyInt, k) * (yPercent * (1.0f - lowxFloat));
                    for (int l = lowxInt + 1; l < highxInt; ++l) {
                        t += at(l, lowyInt, k) * yPercent;
                    }
                    t += at(highxInt, lowyInt, k) * (yPercent * highxFloat);
                    yPercent = highyFloat;
                    t += at(lowxInt, highyInt, k) * (yPercent * (1.0f - lowxFloat));
                    for (int l = lowxInt + 1; l < highxInt; ++l) {
                        t += at(l, highyInt, k) * yPercent;
                    }
                    t += at(highxInt, highyInt, k) * (yPercent * highxFloat);
                    for (int m = lowyInt + 1; m < highyInt; ++m) {
                        t += at(lowxInt, m, k) * (1.0f - lowxFloat) +
                             at(highxInt, m, k) * highxFloat;
                    }
                } else if (highyInt > lowyInt) {
                    const float xPercent = highxFloat - lowxFloat;
                    t += at(lowxInt, lowyInt, k) * ((1.0f - lowyFloat) * xPercent);
                    int m = lowyInt + 1;
                    for (; m < highyInt; ++m) {
                        t += at(lowxInt, m, k) * xPercent;
                    }
                    t += at(lowxInt, m, k) * (xPercent * highyFloat);
                } else if (highxInt > lowxInt) {
                    const float yPercent = highyFloat - lowyFloat;
                    t += at(lowxInt, lowyInt, k) * ((1.0f - lowxFloat) * yPercent);
                    int l = lowxInt + 1;
                    for (; l < highxInt; ++l) {
                        t += at(l, lowyInt, k) * yPercent;
                    }
                    t += at(l, lowyInt, k) * (yPercent * highxFloat);
                } else {
                    t += at(lowxInt, lowyInt, k) *
                         ((highyFloat - lowyFloat) * (highxFloat - lowxFloat));
                }
                for (int m = lowyInt + 1; m < highyInt; ++m) {
                    for (int l = lowxInt + 1; l < highxInt; ++l) {
                        t += at(l, m, k);
                    }
                }
            }
            uint8_t* o = out + (static_cast<size_t>(i) * widthOut + j) * components;
            for (int k = 0; k < components; ++k) {
                o[k] = static_cast<uint8_t>(totals[k] / area);
            }
            lowxInt = highxInt;
            lowxFloat = highxFloat;
            highxInt += convxInt;
            highxFloat += convxFloat;
            if (highxFloat > 1.0f) {
                highxFloat -= 1.0f;
                ++highxInt;
            }
        }
        lowyInt = highyInt;
        lowyFloat = highyFloat;
        highyInt += convyInt;
        highyFloat += convyFloat;
        if (highyFloat > 1.0f) {
            highyFloat -= 1.0f;
            ++highyInt;
        }
    }
}

// Half size: 2x2 blocks rounded to nearest, or 2x1 blocks truncated once a side is 1.
MipLevel Halve(const MipLevel& in, int components) {
    MipLevel out;
    out.width = in.width > 1 ? in.width / 2 : 1;
    out.height = in.height > 1 ? in.height / 2 : 1;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height * components);
    const size_t row = static_cast<size_t>(in.width) * components;
    const uint8_t* p = in.pixels.data();
    uint8_t* o = out.pixels.data();
    if (in.width == 1 || in.height == 1) {
        const size_t step = in.height == 1 ? static_cast<size_t>(components) : row;
        const int n = in.height == 1 ? out.width : out.height;
        for (int i = 0; i < n; ++i) {
            const uint8_t* a = p + 2 * static_cast<size_t>(i) * step;
            for (int k = 0; k < components; ++k) {
                *o++ = static_cast<uint8_t>((a[k] + a[k + step]) / 2);
            }
        }
        return out;
    }
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* a = p + 2 * static_cast<size_t>(y) * row;
        for (int x = 0; x < out.width; ++x, a += 2 * components) {
            for (int k = 0; k < components; ++k) {
                *o++ = static_cast<uint8_t>(
                    (a[k] + a[k + components] + a[k + row] + a[k + row + components] + 2) / 4);
            }
        }
    }
    return out;
}

}  // namespace

int MipmapChain::NearestPower(int side) {
    if (side <= 0) {
        return -1;
    }
    unsigned value = static_cast<unsigned>(side);
    int power = 1;
    for (;;) {
        if (value == 1) {
            return power;
        }
        if (value == 3) {
            return power * 4;
        }
        value >>= 1;
        power *= 2;
    }
}

std::vector<MipLevel> MipmapChain::Build(int width, int height, int components,
                                         const uint8_t* pixels, bool allLevels) {
    std::vector<MipLevel> levels;
    if (pixels == nullptr || width <= 0 || height <= 0 || components < 1 || components > 4) {
        return levels;
    }
    MipLevel first;
    first.width = NearestPower(width);
    first.height = NearestPower(height);
    first.pixels.resize(static_cast<size_t>(first.width) * first.height * components);
    if (first.width == width && first.height == height) {
        first.pixels.assign(pixels, pixels + first.pixels.size());
    } else if (first.width * 2 == width && first.height * 2 == height) {
        MipLevel whole;
        whole.width = width;
        whole.height = height;
        whole.pixels.assign(pixels, pixels + static_cast<size_t>(width) * height * components);
        first = Halve(whole, components);
    } else {
        Scale(components, width, height, pixels, first.width, first.height, first.pixels.data());
    }
    levels.push_back(std::move(first));
    while (allLevels && (levels.back().width > 1 || levels.back().height > 1)) {
        levels.push_back(Halve(levels.back(), components));
    }
    return levels;
}

#include "tools/contentgen/Title.h"

#include <cmath>

#include "tools/gen/Noise.h"
#include "tools/gen/Vec.h"

Canvas PaintTitle() {
    Canvas c(kTitleWidth, kTitleHeight);
    for (int y = 0; y < kTitleHeight; ++y) {
        for (int x = 0; x < kTitleWidth; ++x) {
            const double fy = y / static_cast<double>(kTitleHeight);
            c.At(x, y) = MixRgb(Hex(0x060914), Hex(0x1A2238), fy);
        }
    }
    return c;
}

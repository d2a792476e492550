#include "image/ShadowAlpha.h"

void MakeShadowAlpha(int64_t n, const uint8_t* rgb, uint8_t* out) {
    // The single-precision factor and the truncation give alpha =
    // (256 - floor(sum / 3)) mod 256: 0 for black, 255 just above it, 1 for white.
    const float factor = -0.33333334f;
    for (int64_t i = 0; i < n; ++i, rgb += 3, out += 2) {
        const int sum = rgb[0] + rgb[1] + rgb[2];
        out[0] = 255;
        out[1] = static_cast<uint8_t>(static_cast<int>(static_cast<float>(sum) * factor));
    }
}

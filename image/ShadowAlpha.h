#pragma once

#include <cstdint>

// Turns n RGB pixels into n (luminance 255, alpha) pairs for the hero's
// shadow: black is transparent, nearly black nearly opaque, white nearly
// transparent. out holds 2n bytes.
void MakeShadowAlpha(int64_t n, const uint8_t* rgb, uint8_t* out);

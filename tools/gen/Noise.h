#pragma once

#include <cstdint>

// Deterministic hash noise for the generators (no library random numbers, so
// every build writes the same bytes).
uint32_t Hash(uint32_t a, uint32_t b = 0, uint32_t c = 0);
// Uniform 0..1 from a hash.
double Hash01(uint32_t a, uint32_t b = 0, uint32_t c = 0);
// Smooth value noise in 2D with the given integer period (tiles seamlessly).
double ValueNoise(double x, double y, int period, uint32_t seed);
// Sum of octaves of ValueNoise, 0..1, tiling with the base period.
double Fractal(double x, double y, int period, int octaves, uint32_t seed);

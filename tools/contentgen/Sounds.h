#pragma once

#include <cstdint>
#include <vector>

// Whole WAV files (16-bit mono PCM, 22050 Hz).
std::vector<uint8_t> ExplosionWav();  // "bomb.wav": a noise burst, under a second
std::vector<uint8_t> DeathWav();      // "death.wav": a falling tone
std::vector<uint8_t> GameOverWav();   // "over.wav": a two-second falling phrase

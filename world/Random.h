#pragma once

// The game's random numbers: the classic C library sequence (values
// 0..32767), which the game never seeds, so the same keys at the same ticks
// give the same game on every machine. Bombs and enemies share it.
int Rand();
// Back to the sequence's start; for tests and replays that begin a fresh run.
void ResetRand();

#pragma once
// Real recorded games for the server's tests and benchmark, made from the
// pinned replays: each verifies with the game's rules.
#include <string>

// The pinned whole game (score 75, level 2), as the game records it.
std::string WholeGameRecording();
// The pinned game whose three lives are lost to its own bombs (score 0),
// then, after `wait` ticks on the score screen, one more such game: a
// different game for every `wait`, whose replay runs about 400 + `wait` ticks.
std::string BombedGameRecording(int wait);

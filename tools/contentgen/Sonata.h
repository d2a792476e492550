#pragma once

#include <cstdint>
#include <vector>

// "SONAT_A1.MID": the file's bytes and its play time. False (after a line on
// stderr) when the written-out score does not add up.
bool ComposeSonata(std::vector<uint8_t>* file, double* seconds);

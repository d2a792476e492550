#pragma once

#include "tools/contentgen/Canvas.h"

// "First.jpg": the game's name over a night scene of the board. The high-score
// list is written over its upper right (from 150 pixels left of the centre to
// the right edge, 30 to 360 pixels down, at any window size), so that part
// stays dark and calm.
inline constexpr int kTitleWidth = 1024;
inline constexpr int kTitleHeight = 768;
Canvas PaintTitle();

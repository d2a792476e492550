#pragma once

#include "tools/contentgen/Canvas.h"

// Writes the game's name large across the bottom of the title picture, with
// the game's own font machinery (fontconfig and FreeType). Does nothing in a
// build without it.
void DrawTitleText(Canvas& c);

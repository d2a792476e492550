#pragma once

// Bitmap font display lists for the current OpenGL context: lists
// listBase + c for every byte c in 0..254 (Windows-1252), each drawing the
// glyph with glBitmap so that the baseline starts at the raster position
// and advancing it by the glyph's width. listBase + 255 is left empty on
// purpose, so byte 255 draws nothing. cellHeight is the character cell
// height in pixels (ascent plus descent), weight 700 asks for bold.
// Returns false, after a line on stderr, when no usable font was found.
bool BuildGlFontLists(const char* face, int cellHeight, int weight, unsigned listBase);

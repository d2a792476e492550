#pragma once

// The first of the font's display lists: list 1000 + c draws byte c.
constexpr unsigned kFontListBase = 1000;

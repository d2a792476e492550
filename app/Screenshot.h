#pragma once

#include <string>

// F12: saves the frame just drawn and not yet swapped (Game::beforeSwap),
// width x height pixels of the main window, as "quorvax-YYYYMMDD-HHMMSS.png" in the working
// directory (with
// "-2", "-3" ... when that name is taken). Returns the file name, or ""
// with the reason in `error`. Reads pixels only; the game is not touched.
std::string SaveScreenshot(int width, int height, std::string& error);

#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <string>

#include "support/GameHarness.h"
#include "world/Vec3.h"

// A w x h texture from packed RGB rows (row 0 at t = 0), sampled nearest
// without mipmaps, so that a test can tell surfaces and texels apart in a
// grabbed frame. Needs the harness's context current.
GLuint PatternTexture(int w, int h, const uint8_t* rgb);
// A texture of one flat colour.
GLuint SolidColourTexture(uint8_t r, uint8_t g, uint8_t b);

// The window pixel (x right, y down) where a world point lands under the
// matrices the last frame left loaded; false when it is off the window.
bool ProjectToWindow(const GameHarness& h, const Vec3& p, int& x, int& y);

// Writes the harness's grabbed frame as PNG into the build's screenshot
// folder (beside the game's folder) and answers the path, empty on failure.
std::string SaveScreenshot(const GameHarness& h, const std::string& name);

#pragma once

// Scales the landscape's texture coordinates by 20 each way, once per
// program: its vertices are program-wide, so a second renderer (a second
// game in one run) must not scale them again. The renderers call it when
// they load the board's textures, before the landscape is first drawn.
void ScaleLandscapeOnce();

#pragma once

#include "world/FrameState.h"

// The turn from angle `from` to angle `to` (radians) the short way round:
// a value in [-pi, pi].
double ShortestTurn(double from, double to);

// The picture between two ticks, `fraction` of the way from `before` to
// `after` (0 to 1; 1 and above give `after` exactly, so a frame at a whole
// tick is that tick's picture). Positions and heights move in a straight
// line, facings and the camera turn the short way round. Whatever appears,
// vanishes or jumps shows as `after` has it: a change of screen or of era
// (new game, new level, lost life) shows `after` whole; an enemy or bomb not
// in both, and a bomb that has just exploded, stand as `after` has them.
// The drawing of a frame between ticks calls it.
FrameState BlendFrames(const FrameState& before, const FrameState& after, float fraction);

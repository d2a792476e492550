#pragma once

#include <string>
#include <vector>

// Where the General MIDI SoundFont for the music comes from, in this order:
// every path in the SDL_SOUNDFONTS environment variable (separated by ':'
// or ';', as players using SDL_mixer read it), FluidSynth's own
// synth.default-soundfont setting, then the usual places of Debian's
// SoundFont packages. midiOutOpen asks once per audio output.
std::vector<std::string> SoundFontCandidates(const char* sdlSoundFonts,
                                             const std::string& fluidDefault);
// The first candidate that is a readable SoundFont; empty, after a line on
// stderr saying why there will be no music, when none is.
std::string FindSoundFont();

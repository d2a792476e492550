#include "platform/linux/MidiSoundFont.h"

#include <fluidsynth.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const kUsualPlaces[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",      "/usr/share/sounds/sf3/FluidR3_GM.sf3",
    "/usr/share/soundfonts/default.sf2",       "/usr/share/soundfonts/FluidR3_GM.sf2",
    "/usr/local/share/soundfonts/default.sf2",
};

std::string FluidDefaultSoundFont() {
    std::string path;
    fluid_settings_t* settings = new_fluid_settings();
    if (settings == nullptr) {
        return path;
    }
    char* value = nullptr;
    if (fluid_settings_dupstr(settings, "synth.default-soundfont", &value) == FLUID_OK &&
        value != nullptr) {
        path = value;
    }
    fluid_free(value);
    delete_fluid_settings(settings);
    return path;
}

bool IsReadableSoundFont(const std::string& path) {
    struct stat st {};
    // FluidSynth's own check would complain on stderr about every missing file.
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    return fluid_is_soundfont(path.c_str()) != 0;
}

}  // namespace

std::vector<std::string> SoundFontCandidates(const char* sdlSoundFonts,
                                             const std::string& fluidDefault) {
    std::vector<std::string> paths;
    if (sdlSoundFonts != nullptr) {
        std::string current;
        for (const char* p = sdlSoundFonts;; ++p) {
            if (*p == ':' || *p == ';' || *p == '\0') {
                if (!current.empty()) {
                    paths.push_back(current);
                }
                current.clear();
                if (*p == '\0') {
                    break;
                }
            } else {
                current += *p;
            }
        }
    }
    if (!fluidDefault.empty()) {
        paths.push_back(fluidDefault);
    }
    for (const char* place : kUsualPlaces) {
        paths.push_back(place);
    }
    return paths;
}

std::string FindSoundFont() {
    const std::vector<std::string> candidates =
        SoundFontCandidates(std::getenv("SDL_SOUNDFONTS"), FluidDefaultSoundFont());
    for (const std::string& path : candidates) {
        if (IsReadableSoundFont(path)) {
            return path;
        }
    }
    std::fprintf(stderr,
                 "quorvax: no music: no General MIDI SoundFont found (set SDL_SOUNDFONTS to "
                 "one, or install timgm6mb-soundfont)\n");
    return std::string();
}

// The list of the game's files, apart from the Linux launcher's logic, so
// that the Windows program's launcher is given the same list.
#include "app/Launcher.h"

const std::vector<std::string>& Launcher::GameFiles() {
    static const std::vector<std::string> files = {
        "wood.bmp",  "board.bmp", "top.bmp",      "LandScape.bmp", "Enemy1.bmp",
        "bomb.bmp",  "Hero.bmp",  "Shadow.bmp",   "First.jpg",     "bomb.wav",
        "death.wav", "over.wav",  "SONAT_A1.MID",
    };
    return files;
}

#pragma once

#include <string>

// Where the running program and its installed files are. The launcher asks
// before the game opens any file.
class InstallLocation {
  public:
    // Directory of the running program file, from /proc/self/exe; "" when
    // it cannot be read.
    static std::string ExecutableDir();
    // The game's installed files for a program file in `exeDir`: the data
    // directory at the same place relative to it as in the install layout
    // the build was configured with, so any install prefix works.
    static std::string DataDirFor(const std::string& exeDir);
};

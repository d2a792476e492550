#pragma once

#include <string>
#include <vector>

// Chooses the game's working directory before the game opens any file. A
// directory that already holds the game's files (the build tree) is used as
// it is; otherwise the player's own directory ($XDG_DATA_HOME/quorvax) is
// prepared with links to the installed files, so the game still finds
// everything beside it and each player keeps a "scores.dat" of their own.
class Launcher {
  public:
    // What the choice depends on; RealPlaces() fills it from the process.
    struct Places {
        std::string cwd;
        std::vector<std::string> installed;  // candidate directories of installed files
        std::string xdgDataHome;
        std::string home;
    };
    struct Choice {
        std::string dir;      // where to run; "" to stay where the program started
        std::string warning;  // for stderr; "" when all went well
    };

    // The files the game reads from its working directory (also on Windows,
    // where the rest of this class is not built).
    static const std::vector<std::string>& GameFiles();
    // True when any of GameFiles is in `dir`: it is a directory of the game,
    // and the game itself reports the files it lacks, as it always has.
    static bool HoldsGameFiles(const std::string& dir);
    // $XDG_DATA_HOME/quorvax (it must be absolute to count), else
    // $HOME/.local/share/quorvax; "" when neither is known.
    static std::string PlayerDir(const std::string& xdgDataHome, const std::string& home);
    // Makes `playerDir` (with its parents) and links into it each installed
    // file it lacks. Links left by an install elsewhere are renewed; the
    // player's own files, and "scores.dat" above all, are left alone.
    static bool PrepareDir(const std::string& playerDir, const std::string& installedDir,
                           std::string& error);

    // The current directory, the environment and the installed places of the running program.
    static Places RealPlaces();
    // Decides, preparing the player's directory when it is the one.
    static Choice Choose(const Places& places);
    // main() calls this first: chooses, enters the directory, and says on
    // stderr what went wrong. False when it could not enter the directory.
    static bool Enter();
};

#pragma once

#include <string>
#include <vector>

// Chooses the game's working directory on Windows before the game opens
// any file. The game's files are looked for in the current directory, else
// beside the program. Where they are and that folder is writable, the
// game runs there and keeps "scores.dat" beside them. A folder the player
// may not write (Program Files) gives way to %LOCALAPPDATA%\Quorvax, which
// gets the game's files as hard links, or copies where links cannot be made,
// so each player keeps a "scores.dat" of their own.
class Win32Launcher {
  public:
    struct Choice {
        std::wstring dir;     // where to run; "" to stay where the program started
        std::string warning;  // for stderr; "" when all went well
    };

    // True when any of `files` is in `dir`.
    static bool HoldsGameFiles(const std::wstring& dir, const std::vector<std::string>& files);
    // True when a new file can be made in `dir` (the test file is gone again).
    static bool IsWritableDir(const std::wstring& dir);
    // Makes `playerDir` and gives it each of `files` that `sourceDir` has:
    // missing ones, and ones that differ from the source in size or time
    // (an update of the program), are linked or copied anew. "scores.dat"
    // is never among them, so the player's scores are left alone.
    static bool PrepareDir(const std::wstring& playerDir, const std::wstring& sourceDir,
                           const std::vector<std::string>& files, std::string& error);
    // Decides, preparing the player's folder under `localAppData` when it is the one.
    static Choice Choose(const std::wstring& cwd, const std::wstring& exeDir,
                         const std::wstring& localAppData, const std::vector<std::string>& files);
    // main() calls this first: chooses from the running program's places,
    // enters the directory, and says on stderr what went wrong. False when
    // it could not enter the directory.
    static bool Enter(const std::vector<std::string>& files);
};

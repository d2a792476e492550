#include "app/Launcher.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/InstallLocation.h"

namespace {

constexpr const char* kScoreFile = "scores.dat";

bool IsFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDir(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Join(const std::string& dir, const std::string& name) {
    return !dir.empty() && dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string Absolute(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) != nullptr ? std::string(buf) : std::string();
}

// mkdir -p; new directories are private, as the per-user data base dir should be.
bool MakeDirs(const std::string& path, std::string& error) {
    if (IsDir(path)) {
        return true;
    }
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirs(path.substr(0, slash), error)) {
        return false;
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!IsDir(path)) {
        error = path + " is not a directory";
        return false;
    }
    return true;
}

std::string LinkTarget(const std::string& link) {
    char buf[PATH_MAX];
    const ssize_t n = readlink(link.c_str(), buf, sizeof buf);
    return n > 0 && static_cast<size_t>(n) < sizeof buf ? std::string(buf, static_cast<size_t>(n))
                                                        : std::string();
}

// Puts a link at `link` to `target`; an existing link is replaced in one
// step, so a game starting meanwhile never misses the file.
bool PlaceLink(const std::string& target, const std::string& link, std::string& error) {
    const std::string temp = link + ".link-new";
    unlink(temp.c_str());
    if (symlink(target.c_str(), temp.c_str()) != 0 || rename(temp.c_str(), link.c_str()) != 0) {
        error = "cannot link " + link + ": " + std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    return true;
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

}  // namespace

bool Launcher::HoldsGameFiles(const std::string& dir) {
    if (dir.empty()) {
        return false;
    }
    for (const std::string& name : GameFiles()) {
        if (IsFile(Join(dir, name))) {
            return true;
        }
    }
    return false;
}

std::string Launcher::PlayerDir(const std::string& xdgDataHome, const std::string& home) {
    if (!xdgDataHome.empty() && xdgDataHome[0] == '/') {
        return Join(xdgDataHome, "quorvax");
    }
    if (!home.empty()) {
        return Join(home, ".local/share/quorvax");
    }
    return "";
}

bool Launcher::PrepareDir(const std::string& playerDir, const std::string& installedDir,
                          std::string& error) {
    const std::string source = Absolute(installedDir);
    if (source.empty() || !IsDir(source)) {
        error = "cannot read " + installedDir;
        return false;
    }
    if (!MakeDirs(playerDir, error)) {
        return false;
    }
    std::unique_ptr<DIR, DirCloser> dir(opendir(source.c_str()));
    if (!dir) {
        error = "cannot read " + source + ": " + std::strerror(errno);
        return false;
    }
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.' || name == kScoreFile) {
            continue;
        }
        const std::string target = Join(source, name);
        if (!IsFile(target)) {
            continue;
        }
        const std::string link = Join(playerDir, name);
        struct stat st {};
        if (lstat(link.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode) || LinkTarget(link) == target) {
                continue;  // the player's own file, or already right
            }
        }
        if (!PlaceLink(target, link, error)) {
            return false;
        }
    }
    return true;
}

Launcher::Places Launcher::RealPlaces() {
    Places p;
    char buf[PATH_MAX];
    if (getcwd(buf, sizeof buf) != nullptr) {
        p.cwd = buf;
    }
    const std::string exeDir = InstallLocation::ExecutableDir();
    if (!exeDir.empty()) {
        p.installed.push_back(InstallLocation::DataDirFor(exeDir));
        p.installed.push_back(exeDir);  // a build tree: the files sit beside the program
    }
    if (const char* xdg = std::getenv("XDG_DATA_HOME")) {
        p.xdgDataHome = xdg;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        p.home = home;
    } else if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        p.home = pw->pw_dir;
    }
    return p;
}

Launcher::Choice Launcher::Choose(const Places& places) {
    Choice c;
    if (HoldsGameFiles(places.cwd)) {
        return c;
    }
    std::string installed;
    for (const std::string& dir : places.installed) {
        if (HoldsGameFiles(dir)) {
            installed = dir;
            break;
        }
    }
    if (installed.empty()) {
        c.warning = "cannot find the game's files; looking for them in the current directory";
        return c;
    }
    const std::string player = PlayerDir(places.xdgDataHome, places.home);
    std::string error = player.empty() ? "no home directory" : "";
    if (!player.empty() && PrepareDir(player, installed, error)) {
        c.dir = player;
        return c;
    }
    // The game can still be played from the installed files; only its
    // high scores cannot be kept there.
    c.dir = installed;
    c.warning = error + "; running in " + installed + ", where the high scores cannot be kept";
    return c;
}

bool Launcher::Enter() {
    const Choice c = Choose(RealPlaces());
    if (!c.warning.empty()) {
        std::fprintf(stderr, "quorvax: %s\n", c.warning.c_str());
    }
    if (!c.dir.empty() && chdir(c.dir.c_str()) != 0) {
        std::fprintf(stderr, "quorvax: cannot enter %s: %s\n", c.dir.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

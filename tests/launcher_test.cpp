#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/Launcher.h"
#include "platform/InstallLocation.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh temporary tree: an "installed" directory with the game's files,
// an empty directory to start from, and a home.
class LauncherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/quorvax-launcher-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        installed = root / "prefix/share/quorvax";
        fs::create_directories(installed);
        for (const std::string& name : Launcher::GameFiles()) {
            WriteFile(installed / name, "installed " + name);
        }
        elsewhere = root / "elsewhere";
        fs::create_directories(elsewhere);
        home = root / "home";
        fs::create_directories(home);
    }
    void TearDown() override { fs::remove_all(root); }

    Launcher::Places Places() const {
        Launcher::Places p;
        p.cwd = elsewhere;
        p.installed = {(root / "nowhere").string(), installed.string()};
        p.xdgDataHome = (root / "xdg").string();
        p.home = home.string();
        return p;
    }

    fs::path root, installed, elsewhere, home;
};

}  // namespace

TEST_F(LauncherTest, PreparesThePlayersDirectoryWithLinks) {
    const Launcher::Choice c = Launcher::Choose(Places());
    const fs::path player = root / "xdg/quorvax";
    EXPECT_EQ(c.dir, player.string());
    EXPECT_EQ(c.warning, "");
    for (const std::string& name : Launcher::GameFiles()) {
        ASSERT_TRUE(fs::is_symlink(player / name)) << name;
        EXPECT_EQ(fs::read_symlink(player / name), installed / name);
    }
    EXPECT_FALSE(fs::exists(player / "scores.dat")) << "the game writes its own table";
    struct stat st {};
    ASSERT_EQ(stat((root / "xdg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "a new data directory is private";

    // A second start changes nothing and keeps what the player has.
    WriteFile(player / "scores.dat", "Ann\t150\n");
    EXPECT_EQ(Launcher::Choose(Places()).dir, player.string());
    EXPECT_EQ(ReadFile(player / "scores.dat"), "Ann\t150\n");
}

TEST_F(LauncherTest, UsesADirectoryThatHoldsTheFilesAsItIs) {
    Launcher::Places p = Places();
    p.cwd = installed.string();
    const Launcher::Choice c = Launcher::Choose(p);
    EXPECT_EQ(c.dir, "");
    EXPECT_EQ(c.warning, "");
    EXPECT_FALSE(fs::exists(root / "xdg")) << "nothing is prepared";

    // With a file missing it is still the game's directory: the game says
    // which file it lacks, as it would anywhere.
    fs::remove(installed / "First.jpg");
    EXPECT_TRUE(Launcher::HoldsGameFiles(installed.string()));
    EXPECT_EQ(Launcher::Choose(p).dir, "");
    EXPECT_FALSE(Launcher::HoldsGameFiles(elsewhere.string()));
    EXPECT_FALSE(Launcher::HoldsGameFiles(""));
}

TEST_F(LauncherTest, InstalledScoresNeverReplaceThePlayersOwn) {
    WriteFile(installed / "scores.dat", "Shared\t999\n");
    const fs::path player = root / "xdg/quorvax";
    fs::create_directories(player);
    WriteFile(player / "First.jpg", "the player's own picture");
    fs::create_symlink(root / "old-prefix/share/quorvax/bomb.wav", player / "bomb.wav");
    ASSERT_EQ(Launcher::Choose(Places()).dir, player.string());
    EXPECT_FALSE(fs::exists(fs::symlink_status(player / "scores.dat")));
    EXPECT_EQ(ReadFile(player / "First.jpg"), "the player's own picture");
    EXPECT_EQ(fs::read_symlink(player / "bomb.wav"), installed / "bomb.wav")
        << "a link from an older install is renewed";
    EXPECT_EQ(ReadFile(player / "bomb.wav"), "installed bomb.wav");
    EXPECT_FALSE(fs::exists(fs::symlink_status(player / "bomb.wav.link-new")));
}

TEST_F(LauncherTest, PlayerDirectoryFromTheEnvironment) {
    EXPECT_EQ(Launcher::PlayerDir("/data", "/home/ann"), "/data/quorvax");
    EXPECT_EQ(Launcher::PlayerDir("", "/home/ann"), "/home/ann/.local/share/quorvax");
    EXPECT_EQ(Launcher::PlayerDir("relative/data", "/home/ann"), "/home/ann/.local/share/quorvax")
        << "a relative XDG_DATA_HOME is ignored";
    EXPECT_EQ(Launcher::PlayerDir("", ""), "");

    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string keep = saved != nullptr ? saved : "";
    setenv("XDG_DATA_HOME", (root / "from-env").c_str(), 1);
    Launcher::Places p = Launcher::RealPlaces();
    if (saved != nullptr) {
        setenv("XDG_DATA_HOME", keep.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    EXPECT_EQ(p.xdgDataHome, (root / "from-env").string());
    EXPECT_FALSE(p.cwd.empty());
    ASSERT_EQ(p.installed.size(), 2u);
    EXPECT_EQ(p.installed[1], InstallLocation::ExecutableDir());
    EXPECT_EQ(p.installed[0], InstallLocation::DataDirFor(p.installed[1]));
    p.cwd = elsewhere.string();
    p.installed = {installed.string()};
    EXPECT_EQ(Launcher::Choose(p).dir, (root / "from-env/quorvax").string());
    for (const std::string& name : Launcher::GameFiles()) {
        EXPECT_TRUE(fs::is_symlink(root / "from-env/quorvax" / name)) << name;
    }
}

TEST_F(LauncherTest, FallsBackToTheInstalledFilesWhenItCannotPrepare) {
    WriteFile(root / "xdg", "a file where the directory should be");
    const Launcher::Choice c = Launcher::Choose(Places());
    EXPECT_EQ(c.dir, installed.string());
    EXPECT_NE(c.warning.find("high scores cannot be kept"), std::string::npos) << c.warning;

    Launcher::Places none = Places();
    none.installed = {(root / "nowhere").string()};
    const Launcher::Choice lost = Launcher::Choose(none);
    EXPECT_EQ(lost.dir, "");
    EXPECT_NE(lost.warning.find("cannot find the game's files"), std::string::npos);
}

TEST(InstallLocation, DataDirectoryBesideTheProgram) {
    const std::string exe = InstallLocation::ExecutableDir();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe[0], '/');
    EXPECT_TRUE(fs::exists(fs::path(exe) / "quorvax_tests"));
    EXPECT_EQ(InstallLocation::DataDirFor("/opt/q/bin"), "/opt/q/bin/../share/quorvax");
    EXPECT_EQ(InstallLocation::DataDirFor(""), "");
}

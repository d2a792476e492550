#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/Playback.h"
#include "app/Recorder.h"
#include "app/Settings.h"
#include "app/SettingsDialog.h"
#include "platform/Keys.h"
#include "platform/PhysicalKeys.h"
#include "res/Resources.h"
#include "support/GameHarness.h"
#include "support/ScratchDir.h"
#include "support/TempGameDir.h"

namespace {

int Key(const char* code) {
    return PhysicalKeys::FromCodeName(code);
}

Settings Parse(const std::string& text, std::vector<std::string>& log) {
    return ParseSettings(text, "settings.toml", log);
}

bool EveryActionHasAKey(const Settings& s) {
    for (int a = 0; a < kGameActionCount; ++a) {
        if (!s.keys.HasKey(static_cast<GameAction>(a))) {
            return false;
        }
    }
    return true;
}

// Settings that differ from the defaults in every field.
Settings Unusual() {
    Settings s;
    s.musicVolume = 30;
    s.effectsVolume = 0;
    s.mute = true;
    s.keys.Bind(GameAction::Jump, 0, Key("KeyZ"));
    s.keys.Bind(GameAction::Bomb, 1, Key("KeyX"));
    s.pad.Bind(GameAction::Jump, 1, PadButton::Y);
    s.pad.deadZone = 25;
    s.frameRate = Settings::kFramePerTick;
    s.fullScreen = false;
    s.playerName = "Ada \"the\" Lovelace";
    s.leaderboard = true;
    s.leaderboardUrl = "https://scores.example/q";
    s.touch = "on";
    s.touchSize = 150;
    s.leftHanded = true;
    s.vibrate = false;
    return s;
}

}  // namespace

TEST(SettingsFile, LaysTheFileOverTheDefaults) {
    std::vector<std::string> log;
    const Settings s = Parse(
        "version = 1\n[sound]\nmusic_volume = 40\n[keys]\njump = [\"KeyZ\"]\n"
        "[display]\nframe_rate = \"tick\"\n[player]\nname = \"Ada\"\n",
        log);
    EXPECT_TRUE(log.empty()) << log.front();
    Settings expected;
    expected.musicVolume = 40;
    expected.keys.Bind(GameAction::Jump, 0, Key("KeyZ"));
    expected.keys.Bind(GameAction::Jump, 1, 0);
    expected.frameRate = Settings::kFramePerTick;
    expected.playerName = "Ada";
    EXPECT_EQ(s, expected);
    EXPECT_EQ(Parse("", log), Settings{}) << "no file plays as the game always did";
}

TEST(SettingsFile, KeepsTheDefaultOfABadValueAndNamesItsLine) {
    const std::string longName(65, 'x');
    const struct {
        std::string text;
        const char* logged;
    } cases[] = {
        {"[sound]\nmusic_volume = 150\n", "line 2: music_volume"},
        {"[sound]\n\neffects_volume = \"loud\"\n", "line 3: effects_volume"},
        {"[sound]\nmute = 1\n", "line 2: mute"},
        {"sound = 3\n", "line 1: sound"},
        {"[keys]\njump = [\"KeyZ\", \"NoSuchKey\"]\n", "line 2: jump"},
        {"[keys]\njump = [\"KeyZ\", \"KeyX\", \"KeyC\"]\n", "line 2: jump"},
        {"[keys]\njump = \"KeyZ\"\n", "line 2: jump"},
        {"[pad]\nbomb = [\"trigger\"]\n", "line 2: bomb"},
        {"[pad]\ndead_zone = 1\n", "line 2: dead_zone"},
        {"[display]\nframe_rate = 0\n", "line 2: frame_rate"},
        {"[display]\nfull_screen = \"yes\"\n", "line 2: full_screen"},
        {"[player]\nname = \"" + longName + "\"\n", "line 2: name"},
        {"[touch]\nmode = \"sometimes\"\n", "line 2: mode"},
        {"[touch]\nsize = 500\n", "line 2: size"},
        {"version = \"one\"\n", "line 1: version"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> log;
        EXPECT_EQ(Parse(c.text, log), Settings{}) << c.text;
        ASSERT_EQ(log.size(), 1u) << c.text;
        EXPECT_NE(log[0].find(std::string("settings.toml: ") + c.logged), std::string::npos)
            << log[0];
    }
}

TEST(SettingsFile, SkipsUnknownNames) {
    std::vector<std::string> log;
    EXPECT_EQ(Parse("colour = 3\n[sound]\nreverb = 2\n[extra]\nx = [1, 2]\n", log), Settings{});
    EXPECT_TRUE(log.empty());
    Parse("version = 7\n", log);
    ASSERT_EQ(log.size(), 1u) << "a newer file is read as far as it is known, and said so";
}

TEST(SettingsFile, ADamagedFileNeverLeavesAnActionWithoutAKey) {
    const std::string texts[] = {
        std::string("\x00\xff\xfe garbage\n", 13),
        "[sound\nmusic_volume =",
        "[keys]\nforward = []\nback = []\nturn_left = []\nturn_right = []\njump = []\n"
        "bomb = []\nstart = []\n",
        "[keys]\nforward = [\"ShiftLeft\", \"ShiftRight\"]\njump = []\n",
    };
    for (const std::string& text : texts) {
        std::vector<std::string> log;
        const Settings s = Parse(text, log);
        EXPECT_TRUE(EveryActionHasAKey(s)) << text;
        EXPECT_FALSE(log.empty()) << text;
    }
}

TEST(KeyBindings, AKeyTakenFromAnotherActionLeavesIt) {
    KeyBindings keys = KeyBindings::Defaults();
    GameAction from = GameAction::Start;
    EXPECT_TRUE(keys.Bind(GameAction::Jump, 0, Key("ArrowUp"), &from));
    EXPECT_EQ(from, GameAction::Forward);
    GameAction holder;
    ASSERT_TRUE(keys.ActionOf(Key("ArrowUp"), holder));
    EXPECT_EQ(holder, GameAction::Jump);
    EXPECT_EQ(keys.Keys(GameAction::Forward), (KeyBindings::Slots{0, Key("Numpad8")}));
    EXPECT_FALSE(keys.Bind(GameAction::Jump, 1, Key("ArrowUp"))) << "its own other slot";
    EXPECT_EQ(keys.Keys(GameAction::Jump), (KeyBindings::Slots{0, Key("ArrowUp")}));

    PadBindings pad = PadBindings::Defaults();
    EXPECT_TRUE(pad.Bind(GameAction::Jump, 1, PadButton::X, &from));
    EXPECT_EQ(from, GameAction::Bomb);
    EXPECT_EQ(pad.Buttons(GameAction::Bomb), (PadBindings::Slots{PadButton::B, PadButton::None}));
}

// In the game's window a bound key is its action's classic key, a classic
// key bound to nothing is no key, and the fixed keys stay as they are.
TEST(KeyBindings, GiveTheGameItsOwnKeys) {
    KeyBindings keys = KeyBindings::Defaults();
    keys.Bind(GameAction::Jump, 0, Key("KeyZ"));
    keys.Bind(GameAction::Jump, 1, 0);
    const struct {
        const char* code;
        int key;
        int expected;
    } cases[] = {
        {"KeyZ", 'Z', VK_SHIFT}, {"ShiftLeft", VK_SHIFT, 0}, {"ArrowUp", VK_UP, VK_UP},
        {"F1", VK_F1, VK_F1},    {"KeyQ", 'Q', 'Q'},         {"", VK_UP, VK_UP},
        {"Numpad8", 0, VK_UP},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GameKeyOfBoundKey(keys, Key(c.code), c.key), c.expected) << c.code;
    }
    EXPECT_EQ(PhysicalKeys::FromWindowsScanCode(0x2C, false), Key("KeyZ"));
    EXPECT_EQ(PhysicalKeys::FromWindowsScanCode(0x48, true), Key("ArrowUp"));
    EXPECT_EQ(PhysicalKeys::FromWindowsScanCode(0x48, false), Key("Numpad8"));
}

TEST(SettingsFile, WritesAndReadsBack) {
    std::vector<std::string> log;
    EXPECT_EQ(Parse(FormatSettings(Unusual()), log), Unusual());
    EXPECT_EQ(Parse(FormatSettings(Settings{}), log), Settings{});
    EXPECT_TRUE(log.empty());

    const std::string scratch = MakeScratchDir("quorvax-settings");
    ASSERT_FALSE(scratch.empty());
    const std::string dir = scratch + "/config/quorvax/";
    SettingsStore store(dir);
    store.Load();
    EXPECT_EQ(store.Current(), Settings{});
    ASSERT_TRUE(store.Save(Unusual()));
    EXPECT_EQ(store.FilePath(), dir + "settings.toml");
    SettingsStore again(dir);
    again.Load();
    EXPECT_EQ(again.Current(), Unusual());
    // Written on change only: the same settings again touch no file.
    std::filesystem::remove(again.FilePath());
    ASSERT_TRUE(again.Save(Unusual()));
    EXPECT_FALSE(std::filesystem::exists(again.FilePath()));
    std::filesystem::remove_all(scratch);
}

// The recording holds the game's own keys: a game played with Jump on Z
// plays back the same with the default keys.
TEST(KeyBindings, ARecordingWithReboundKeysReplaysWithTheDefaults) {
    TempGameDir dir;
    Settings rebound;
    rebound.keys.Bind(GameAction::Jump, 0, Key("KeyZ"));
    const struct {
        uint64_t tick;
        bool down;
        const char* code;
        int key;
    } presses[] = {
        {2, true, "Space", VK_SPACE},    {3, false, "Space", VK_SPACE},
        {5, true, "ArrowUp", VK_UP},     {7, true, "KeyZ", 'Z'},
        {8, false, "KeyZ", 'Z'},         {20, false, "ArrowUp", VK_UP},
        {30, true, "Escape", VK_ESCAPE},
    };
    std::string error;
    std::string finalState;
    {
        GameHarness h(VirtualSystem::Options{160, 120, true});
        h.sys.SetKeyBindings(&rebound.keys);
        for (const auto& p : presses) {
            Message m;
            m.kind = p.down ? MessageKind::KeyDown : MessageKind::KeyUp;
            m.key = p.key;
            m.physical = Key(p.code);
            h.sys.Schedule(p.tick, m);
        }
        Recorder recorder;
        ASSERT_TRUE(recorder.Open("game.rec", error)) << error;
        recorder.Start(*h.window);
        h.sys.SetInputTap(&recorder);
        EXPECT_FALSE(h.Tick(100));
        h.sys.SetInputTap(nullptr);
        finalState = FormatState(h.game(), h.window->Ticks());
        recorder.Finish(finalState);
    }
    std::ifstream in("game.rec");
    std::stringstream recorded;
    recorded << in.rdbuf();
    EXPECT_NE(recorded.str().find("\n7 down shift\n8 up shift\n"), std::string::npos)
        << recorded.str();

    Playback playback;
    ASSERT_TRUE(playback.Load("game.rec", error)) << error;
    GameHarness h(VirtualSystem::Options{160, 120, true});
    h.window->SetTickFeed(&playback);
    h.sys.SetInputTap(&playback);
    EXPECT_FALSE(h.Tick(100));
    h.sys.SetInputTap(nullptr);
    EXPECT_EQ(FormatState(h.game(), h.window->Ticks()), finalState);
}

// Rebinding in the dialog: the awaited key is taken before anything else, a
// key another action had is taken from it and said so, Escape cancels,
// Backspace never clears an action's last key; every change is saved.
TEST(SettingsDialog, RebindsKeysAndSaysWhatWasTaken) {
    VirtualSystem sys;
    SetSys(&sys);
    const std::string scratch = MakeScratchDir("quorvax-settings-dialog");
    SettingsStore store(scratch + "/");
    SettingsDialog dlg(store);
    dlg.OnInitDialog();
    const auto press = [&dlg](const char* code, int vk) {
        Message m;
        m.key = vk;
        m.physical = Key(code);
        EXPECT_TRUE(dlg.PreTranslateMessage(m)) << code;
    };
    const int jumpRow = static_cast<int>(GameAction::Jump);
    const struct {
        int slot;
        const char* code;
        int vk;
        const char* status;
        KeyBindings::Slots jump;
    } steps[] = {
        {0, "KeyZ", 'Z', "Jump: ", {Key("KeyZ"), Key("ShiftRight")}},
        {1, "ArrowUp", VK_UP, " was taken from Forward.", {Key("KeyZ"), Key("ArrowUp")}},
        {0, "Escape", VK_ESCAPE, "Nothing changed.", {Key("KeyZ"), Key("ArrowUp")}},
        {0, "Backspace", VK_BACK, "Jump: cleared", {0, Key("ArrowUp")}},
        {1, "Backspace", VK_BACK, "keeps its last key", {0, Key("ArrowUp")}},
        {0, "F1", VK_F1, "cannot be bound", {0, Key("ArrowUp")}},
    };
    dlg.PressButton(IDC_PAGE_FIRST + SettingsDialog::kKeys);
    for (const auto& step : steps) {
        dlg.PressButton((step.slot == 0 ? IDC_ROW_FIRST : IDC_ROW_SECOND) + jumpRow);
        EXPECT_TRUE(dlg.CapturesKeys());
        EXPECT_NE(dlg.GetItemText(IDC_SETTINGS_STATUS).find("Press a key for Jump"),
                  std::string::npos);
        press(step.code, step.vk);
        EXPECT_FALSE(dlg.CapturesKeys() && std::string(step.code) != "F1") << step.code;
        EXPECT_NE(dlg.GetItemText(IDC_SETTINGS_STATUS).find(step.status), std::string::npos)
            << step.code << ": " << dlg.GetItemText(IDC_SETTINGS_STATUS);
        EXPECT_EQ(dlg.Edited().keys.Keys(GameAction::Jump), step.jump) << step.code;
    }
    SettingsStore saved(scratch + "/");
    saved.Load();
    EXPECT_EQ(saved.Current().keys, dlg.Edited().keys);
    SetSys(nullptr);
    std::filesystem::remove_all(scratch);
}

// The Display page's fields: what is typed is kept (as UTF-8, trimmed, cut to
// the file's limit) when the page is left or the dialog closes; a field left
// alone keeps a name the game's code page cannot show.
TEST(SettingsDialog, TheDisplayPageKeepsTheNameAndAddressTyped) {
    VirtualSystem sys;
    SetSys(&sys);
    const std::string scratch = MakeScratchDir("quorvax-settings-fields");
    SettingsStore store(scratch + "/");
    Settings start = store.Current();
    start.playerName = "\xe5\x8c\x97";  // a Chinese name, not in Windows-1252
    store.Save(start);
    SettingsDialog dlg(store);
    dlg.OnInitDialog();
    EXPECT_FALSE(dlg.IsItemVisible(IDC_SETTINGS_NAME));
    dlg.PressButton(IDC_PAGE_FIRST + SettingsDialog::kDisplay);
    EXPECT_TRUE(dlg.IsItemVisible(IDC_SETTINGS_NAME) && dlg.IsItemVisible(IDC_SETTINGS_URL));
    // A click on a field focuses it, Tab goes on in the template's order (to
    // Close), and a field hidden with its page gives its focus up.
    Message click;
    click.kind = MessageKind::Click;
    click.x = DialogUnitsToPixelsX(110);
    click.y = DialogUnitsToPixelsY(32 + kSettingsUrlRow * 15);
    EXPECT_TRUE(dlg.PreTranslateMessage(click));
    EXPECT_EQ(dlg.FocusId(), IDC_SETTINGS_URL);
    Message tab;
    tab.key = VK_TAB;
    EXPECT_TRUE(dlg.PreTranslateMessage(tab));
    EXPECT_EQ(dlg.FocusId(), IDOK);
    dlg.PreTranslateMessage(click);
    dlg.SetItemText(IDC_SETTINGS_URL, " http://127.0.0.1:8080/ ");
    dlg.PressButton(IDC_PAGE_FIRST + SettingsDialog::kSound);
    EXPECT_NE(dlg.FocusId(), IDC_SETTINGS_URL);
    EXPECT_EQ(dlg.Edited().playerName, "\xe5\x8c\x97");
    EXPECT_EQ(dlg.Edited().leaderboardUrl, "http://127.0.0.1:8080/");

    dlg.PressButton(IDC_PAGE_FIRST + SettingsDialog::kDisplay);
    dlg.SetItemText(IDC_SETTINGS_NAME, "Ren\xe9" + std::string(80, 'x'));
    dlg.OnCancel();
    SettingsStore saved(scratch + "/");
    saved.Load();
    EXPECT_EQ(saved.Current().playerName, "Ren\xc3\xa9" + std::string(59, 'x'));
    EXPECT_EQ(saved.Current().leaderboardUrl, "http://127.0.0.1:8080/");
    SetSys(nullptr);
    std::filesystem::remove_all(scratch);
}

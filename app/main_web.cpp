// The game in a web page: the page's storage, system and sound, then one
// game after another, as the player starts, records or watches them.
#include <emscripten.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/GameApp.h"
#include "app/MainWindow.h"
#include "app/ReplayScript.h"
#include "app/Settings.h"
#include "app/TableLink.h"
#include "platform/web/AudioOutputWeb.h"
#include "platform/web/WebPage.h"
#include "platform/web/WebSystem.h"

namespace {

// Where the page's copy of the game's files lies (quorvax.data).
constexpr const char* kGameDir = "/game";
constexpr const char* kScoreFile = "scores.dat";
// The browser's renderer is not there yet: the game runs without pictures.
constexpr bool kPictures = true;

std::string g_lastState;

// The world's table through the page's script, which keeps the games in
// IndexedDB and sends them with fetch.
class PageTableLink : public TableLink {
  public:
    void Open(const std::string& url) override { WebPage::TableOpen(url); }
    void GameStarted() override { WebPage::TableGameStarted(); }
    void Submit(const std::string& body) override { WebPage::TableSubmit(body); }
    std::string Status() const override { return WebPage::TableStatus(); }
};

PageTableLink g_tableLink;

// The player's score table lies in the lasting storage; the game finds it
// in its working directory, as a link there.
void LinkScores() {
    const std::string target = std::string(WebPage::kStorageDir) + "/" + kScoreFile;
    unlink(kScoreFile);
    if (symlink(target.c_str(), kScoreFile) != 0) {
        std::perror("quorvax: cannot link scores.dat");
    }
}

void RunGame(WebSystem& system, WebPage::Request request) {
    std::vector<std::string> args = {"quorvax"};
    if (request == WebPage::Request::Record) {
        args.insert(args.end(), {"--record", WebPage::kRecordingFile});
    } else if (request == WebPage::Request::Watch) {
        args.insert(args.end(), {"--play", WebPage::kChosenFile});
    }
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    // A new GameApp is a freshly started program: its world holds the random
    // sequence, the keys and the hero's motion from their beginning.
    GameApp app;
    if (!app.TakeArguments(static_cast<int>(argv.size()), argv.data())) {
        WebPage::ShowPlaybackEnd(app.Error());
        system.MessageBox("That file is not a recording of this game.", "Playback");
        return;
    }
    app.SetDrawing(kPictures);
    app.SetTableLink(&g_tableLink);
    app.InitInstance();
    g_lastState = app.FinalState();
    if (request == WebPage::Request::Record) {
        WebPage::OfferRecording();
    } else if (request == WebPage::Request::Watch) {
        WebPage::ShowPlaybackEnd(app.PlaybackEnd());
    }
}

}  // namespace

extern "C" {

// window.quorvax.state(): the state line of the last tick.
EMSCRIPTEN_KEEPALIVE const char* quorvax_state() {
    WebSystem* system = WebSystem::Current();
    if (system != nullptr) {
        if (const auto* main = dynamic_cast<const MainWindow*>(system->MainDialog())) {
            g_lastState = FormatState(main->game, main->Ticks());
        }
    }
    return g_lastState.c_str();
}

// window.quorvax.scores(): the running game's high-score table, one
// "NAME<TAB>SCORE" line per place, as its high-score screen shows it.
EMSCRIPTEN_KEEPALIVE const char* quorvax_scores() {
    static std::string text;
    text.clear();
    WebSystem* system = WebSystem::Current();
    if (system != nullptr) {
        if (const auto* main = dynamic_cast<const MainWindow*>(system->MainDialog())) {
            for (const ScoreEntry& e : main->game.highScores.entries) {
                text += ScoreTable::FormatLine(e) + "\n";
            }
        }
    }
    return text.c_str();
}

// window.quorvax.holdAfter(tick): the tests' hold of the clock once the
// game has played that many ticks; a negative tick releases it.
EMSCRIPTEN_KEEPALIVE void quorvax_hold_after(int tick) {
    WebSystem* system = WebSystem::Current();
    if (system == nullptr) {
        return;
    }
    if (tick < 0) {
        system->HoldClock(nullptr);
        return;
    }
    system->HoldClock([system, tick] {
        const auto* main = dynamic_cast<const MainWindow*>(system->MainDialog());
        return main != nullptr && main->Ticks() >= static_cast<uint64_t>(tick);
    });
}

// The page is going away or out of sight: the score table as it is now is
// written, as the desktop writes it when its window is closed, since a
// page may be closed without the game's own end. Written in the game's
// loop: writing waits for the browser's storage.
EMSCRIPTEN_KEEPALIVE void quorvax_save() {
    WebSystem* system = WebSystem::Current();
    if (system == nullptr) {
        return;
    }
    system->QueueTask([system] {
        if (auto* main = dynamic_cast<MainWindow*>(system->MainDialog());
            main != nullptr && main->game.saveScores) {
            main->game.SaveScores();
        }
    });
}

// The page's settings panel (web/settings.js): the player's settings as JSON.
EMSCRIPTEN_KEEPALIVE const char* quorvax_settings_json() {
    static std::string json;
    json = FormatSettingsJson(PlayerSettings().Current());
    return json.c_str();
}

// The panel changed something: the settings text it wrote to
// /tmp/settings-update.toml is laid over the settings, which are saved in
// the game's loop (writing waits for the browser's storage); the page
// hears of it through SettingsLocation::Persist. 0 when no game runs.
EMSCRIPTEN_KEEPALIVE int quorvax_settings_update() {
    WebSystem* system = WebSystem::Current();
    std::FILE* f = std::fopen("/tmp/settings-update.toml", "rb");
    if (system == nullptr || f == nullptr) {
        if (f != nullptr) {
            std::fclose(f);
        }
        return 0;
    }
    std::string text;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) {
        text.append(buf, n);
    }
    std::fclose(f);
    system->QueueTask([text] { PlayerSettings().Update(text); });
    return 1;
}

// The panel's Defaults, saved the same way.
EMSCRIPTEN_KEEPALIVE int quorvax_settings_reset() {
    WebSystem* system = WebSystem::Current();
    if (system == nullptr) {
        return 0;
    }
    system->QueueTask([] {
        SettingsStore& store = PlayerSettings();
        store.Save(DefaultsKeepingPlayer(store.Current()));
    });
    return 1;
}

}  // extern "C"

int main() {
    WebPage::MountStorage();
    if (chdir(kGameDir) != 0) {
        std::perror("quorvax: cannot enter the game's files");
    }
    LinkScores();
    WebSystem system;
    SetSys(&system);
    const std::unique_ptr<AudioOutputWeb> audio = AudioOutputWeb::Open();
    SetAudio(audio.get());
    WebPage::GameStarting(kPictures);
    // The page is closed, never left: each game that ends makes way for the next.
    for (;;) {
        RunGame(system, WebPage::TakeRequest());
        system.StartAfresh();
    }
}

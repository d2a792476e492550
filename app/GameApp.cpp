#include "app/GameApp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/MainWindow.h"
#include "app/Playback.h"
#include "app/Recorder.h"
#include "app/ReplayScript.h"
#include "app/Settings.h"
#include "app/Submitter.h"
#include "app/TableLink.h"
#include "platform/HttpClient.h"
#include "platform/System.h"

namespace {

void Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: quorvax [--record FILE | --play FILE] [--frame-rate tick|N]\n"
                 "               [--leaderboard URL --player NAME]\n"
                 "  --record FILE        write the game as it is played into FILE\n"
                 "  --play FILE          play a recorded game back\n"
                 "  --frame-rate tick|N  one frame per tick, or at most N frames a second\n"
                 "                       (default: as many as the display shows)\n"
                 "  --leaderboard URL    send each finished game to the world table at URL\n"
                 "  --player NAME        the name it is listed under\n");
}

}  // namespace

GameApp::GameApp() = default;

GameApp::~GameApp() = default;

void GameApp::SetHttpClient(std::unique_ptr<HttpClient> http) {
    http_ = std::move(http);
}

bool GameApp::TakeArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return false;
        }
        if (arg == "--frame-rate" && i + 1 < argc) {
            frameRateGiven_ = true;
            const std::string value = argv[++i];
            char* end = nullptr;
            const long n = std::strtol(value.c_str(), &end, 10);
            if (value == "tick") {
                frameRate_ = MainWindow::kFramePerTick;
            } else if (!value.empty() && *end == '\0' && n >= 1 && n <= 1000) {
                frameRate_ = static_cast<int>(n);
            } else {
                std::fprintf(stderr, "quorvax: bad frame rate '%s' (tick, or 1 to 1000)\n",
                             value.c_str());
                exitCode_ = 2;
                return false;
            }
            continue;
        }
        if ((arg == "--leaderboard" || arg == "--player") && i + 1 < argc) {
            (arg == "--player" ? player_ : leaderboard_) = argv[++i];
            continue;
        }
        const bool record = arg == "--record";
        if ((!record && arg != "--play") || i + 1 >= argc || recorder_ || playback_) {
            Usage(stderr);
            exitCode_ = 2;
            return false;
        }
        const std::string path = argv[++i];
        std::string error;
        if (record) {
            recorder_ = std::make_unique<Recorder>();
            if (!recorder_->Open(path, error)) {
                error_ = error;
                std::fprintf(stderr, "quorvax: %s\n", error.c_str());
                exitCode_ = 2;
                return false;
            }
        } else {
            playback_ = std::make_unique<Playback>();
            if (!playback_->Load(path, error)) {
                error_ = PlaybackRefusedWords(error);
                std::fprintf(stderr, "quorvax: %s\n", error_.c_str());
                std::fprintf(stderr, "quorvax: nothing played\n");
                exitCode_ = 2;
                return false;
            }
        }
    }
    if (leaderboard_.empty() != player_.empty()) {
        std::fprintf(stderr, "quorvax: --leaderboard and --player go together\n");
        exitCode_ = 2;
        return false;
    }
    return true;
}

bool GameApp::InitInstance() {
    // The player's settings laid over the defaults; the options given on
    // the command line win for this run.
    SettingsStore& store = PlayerSettings();
    const Settings& settings = store.Current();
    ApplySoundLevels(settings);
    Sys().SetKeyBindings(&settings.keys);
    Sys().SetPadBindings(settings.pad);
    MainWindow dlg;
    dlg.SetSettings(&store);
    dlg.SetStartWindowed(!settings.fullScreen);
    dlg.SetFrameRate(frameRateGiven_ ? frameRate_ : settings.frameRate);
    dlg.game.drawing = drawing_;
    if (playback_) {
        const std::string differences =
            playback_->Info().DifferencesFrom(RecordingInfo::OfThisGame());
        if (!differences.empty()) {
            const std::string text = "This game was recorded with other game files (" +
                                     differences +
                                     "). It is played all the same and may go otherwise.";
            Sys().MessageBox(text.c_str(), "Playback");
        }
        // Watching a game is not playing one: the player's own table stays as
        // it is, and the recorded game plays against the table it started from.
        dlg.game.saveScores = false;
        dlg.game.startTable = playback_->Info().table;
        dlg.SetTickFeed(playback_.get());
        Sys().SetInputTap(playback_.get());
    }
    if (!playback_ && !recorder_) {
        // Every game played is kept in memory from the program's start.
        recorder_ = std::make_unique<Recorder>();
    }
    // The world table from the settings, unless the options name one for
    // this run; a change in the Settings dialog takes effect at the next start.
    std::string leaderboard = leaderboard_;
    std::string player = player_;
    bool toTable = !leaderboard.empty();
    if (!toTable && settings.leaderboard && !settings.playerName.empty() &&
        (!settings.leaderboardUrl.empty() || link_ != nullptr)) {
        toTable = true;
        leaderboard = settings.leaderboardUrl;
        player = settings.playerName;
    }
    // A finished game's recording, from the program's start to its end.
    const auto recordingTo = [&dlg, r = recorder_.get()](uint64_t tick) {
        return r->UpTo(tick, FormatState(dlg.game, tick));
    };
    std::unique_ptr<Submitter> submitter;
    if (toTable && !playback_) {
        if (link_ != nullptr) {
            link_->Open(leaderboard);
            dlg.game.worldRank = [l = link_] { return l->Status(); };
            dlg.onGameStart = [l = link_] { l->GameStarted(); };
            dlg.onGameEnd = [l = link_, player, recordingTo](uint64_t tick) {
                l->Submit(Submitter::Body(player, recordingTo(tick)));
            };
        } else if (http_) {
            // Beside scores.dat; what an earlier run could not send goes out now.
            submitter = std::make_unique<Submitter>(std::move(http_), leaderboard, player);
            dlg.game.worldRank = [s = submitter.get()] { return s->Status(); };
            dlg.onGameStart = [s = submitter.get()] { s->GameStarted(); };
            dlg.onGameEnd = [s = submitter.get(), recordingTo](uint64_t tick) {
                s->Submit(recordingTo(tick));
            };
        } else {
            dlg.game.worldRank = [] { return std::string("This build cannot send games"); };
        }
    }
    if (recorder_) {
        recorder_->Start(dlg);
        Sys().SetInputTap(recorder_.get());
    }
    dlg.DoModal();
    Sys().SetInputTap(nullptr);
    Sys().SetKeyBindings(nullptr);
    const std::string state = FormatState(dlg.game, dlg.Ticks());
    finalState_ = state;
    if (recorder_) {
        recorder_->Finish(state);
    }
    if (playback_) {
        std::printf("%s\n", state.c_str());
        std::fflush(stdout);
    }
    return false;
}

std::string GameApp::PlaybackEnd() const {
    if (!playback_) {
        return "";
    }
    return PlaybackEndWords(playback_->Finished(), finalState_, playback_->Info().finalState);
}

void GameApp::ReportPlaybackEnd() const {
    if (!playback_) {
        return;
    }
    const std::string words = PlaybackEnd();
    std::fprintf(stderr, "quorvax: %s\n", words.c_str());
    std::fflush(stderr);
    Sys().MessageBox(words.c_str(), "Playback");
}

#pragma once

#include <memory>
#include <string>

class HttpClient;
class Playback;
class Recorder;
class Submitter;
class TableLink;

// The application object: runs the main window modally for the whole life
// of the program. main() makes one after the platform system is set.
class GameApp {
  public:
    GameApp();
    ~GameApp();

    // main(), first of all: --record FILE and --play FILE, each opened
    // against the directory the program was started in, and --frame-rate. False, with the
    // message on stderr, when the program should end at once with ExitCode.
    bool TakeArguments(int argc, char** argv);
    // Runs the game; returns false always (the program ends when it returns).
    bool InitInstance();
    // What main() returns: 0, or 2 after bad arguments.
    int ExitCode() const { return exitCode_; }
    // Before InitInstance: a game without pictures (a system that cannot draw them yet).
    void SetDrawing(bool on) { drawing_ = on; }
    // Before InitInstance: the network for --leaderboard (main() of a system
    // that has one); without it the options are refused.
    void SetHttpClient(std::unique_ptr<HttpClient> http);
    // Before InitInstance: the world table through the system's own link
    // (the page) instead of an HttpClient; there an empty address is the
    // site the game came from. The link outlives the GameApp.
    void SetTableLink(TableLink* link) { link_ = link; }
    // After InitInstance: the state line of the game's end.
    const std::string& FinalState() const { return finalState_; }
    // After TakeArguments refused: why, as printed.
    const std::string& Error() const { return error_; }
    // After a playback: how it ended, in words ("Playback stopped at tick
    // 80", or played to the end and whether the game ended as recorded).
    std::string PlaybackEnd() const;
    // main() of a desktop system, after InitInstance while the system is
    // still set: says how a playback ended on standard error and in a box.
    void ReportPlaybackEnd() const;

  private:
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<Playback> playback_;
    std::unique_ptr<HttpClient> http_;
    TableLink* link_ = nullptr;
    std::string leaderboard_;
    std::string player_;
    int exitCode_ = 0;
    // Frames as often as the display shows them, unless the settings or
    // --frame-rate (for this run) say otherwise.
    int frameRate_ = 0;
    bool frameRateGiven_ = false;
    bool drawing_ = true;
    std::string finalState_;
    std::string error_;
};

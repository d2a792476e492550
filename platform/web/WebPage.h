#pragma once

#include <string>

// What main_web asks of the page around the games it runs: its lasting
// storage, the games the player asks for, and the recordings it offers.
class WebPage {
  public:
    // Where the player's lasting files are kept (IndexedDB).
    static constexpr const char* kStorageDir = "/persistent";
    // The recording being made, and the one the player chose to watch.
    static constexpr const char* kRecordingFile = "/tmp/recording.txt";
    static constexpr const char* kChosenFile = "/tmp/chosen.txt";

    enum class Request { Play, Record, Watch };

    // Before the first game: mounts the storage at kStorageDir and waits
    // until its files are read back from IndexedDB.
    static void MountStorage();
    // Before each game: what the player last asked for (Play when nothing).
    static Request TakeRequest();
    // The page's buttons: the game running ends, and the next one is `request`.
    static void Ask(Request request);
    // After a recorded game: the page offers kRecordingFile as a download.
    static void OfferRecording();
    // F12's picture, written in the working directory: the page offers it
    // as a download under its name and removes the file.
    static void OfferFile(const std::string& path);
    // After a watched game, or a file refused: how it ended, in words, for
    // the page's status.
    static void ShowPlaybackEnd(const std::string& state);
    // The game is about to start: the loading bar goes; without pictures
    // the page shows the game's state instead.
    static void GameStarting(bool pictures);

    // The world's table through the page's script (web/table.js), which
    // keeps each game in its IndexedDB outbox until the table has answered
    // for it. Open: the program starts with the table at `url` ("" or the
    // page's origin: its own site) and sends what the outbox holds.
    static void TableOpen(const std::string& url);
    // A game begins: the script asks for its start token.
    static void TableGameStarted();
    // A game ended: its request body, to be kept and sent.
    static void TableSubmit(const std::string& body);
    // The world rank of the last game sent, or why it was not; "" before any answer.
    static std::string TableStatus();
};

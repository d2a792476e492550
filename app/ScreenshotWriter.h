#pragma once

#include <cstdint>
#include <ctime>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// F12's screenshots. The frame is read on the user-interface thread, just
// before its swap; naming, compressing and writing it take a worker thread
// (where the build has threads), so a shot costs the tick no more than the
// read. The file is "quorvax-YYYYMMDD-HHMMSS.png" in the working directory,
// stamped with the moment of the read ("-2", "-3" ... when that name is
// taken), and handed to the system (the page downloads it); the worker says
// on standard output what it wrote, on standard error what failed. Shots
// are written in the order taken.
class ScreenshotWriter {
  public:
    ScreenshotWriter() = default;
    // Finishes the shots still pending.
    ~ScreenshotWriter();
    ScreenshotWriter(const ScreenshotWriter&) = delete;
    ScreenshotWriter& operator=(const ScreenshotWriter&) = delete;

    // Game::beforeSwap after F12: reads width x height pixels of the frame
    // just drawn and hands them to the worker. Reads pixels only; the game
    // is not touched. A frame that cannot be read is reported at once.
    void Take(int width, int height);
    // MainWindow::OnDestroy: returns when every shot taken has been written,
    // so none is lost when the program ends.
    void Finish();

  private:
    struct Shot {
        std::vector<uint8_t> rows;  // RGBA, bottom row first, as OpenGL reads them
        int width = 0;
        int height = 0;
        std::time_t taken = 0;
    };

    // The worker: writes shots until none is left, then ends.
    void Run();

    std::mutex mutex_;
    std::deque<Shot> pending_;  // under mutex_
    bool running_ = false;      // under mutex_: the worker has not yet seen the queue empty
    std::thread worker_;        // touched by the user-interface thread only
};

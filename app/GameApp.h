#pragma once

// The application object: runs the main window modally for the whole life
// of the program. main() makes one after the platform system is set.
class GameApp {
  public:
    // Runs the game; returns false always (the program ends when it returns).
    bool InitInstance();
};

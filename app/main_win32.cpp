// The game on Windows: the same application object on the Windows backend.
#include "app/GameApp.h"
#include "app/Launcher.h"
#include "platform/win32/AudioOutputWin32.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/WinHttpClient.h"

int main(int argc, char** argv) {
    // Before the directory changes: the files named on the command line are
    // the player's, relative to where the program was started. A window
    // program has no console: its messages reach standard error only where
    // the caller redirected it.
    GameApp app;
    if (!app.TakeArguments(argc, argv)) {
        return app.ExitCode();
    }
    app.SetHttpClient(MakeWinHttpClient());
    // Then the working directory: the game opens every file relative to it.
    // When it cannot be entered, the game starts where it is and reports
    // the files it then misses in its usual way.
    Win32Launcher::Enter(Launcher::GameFiles());
    Win32System system;
    system.Init();
    SetSys(&system);
    {
        // Effects go to PlaySoundA and the song to the MIDI mapper; a machine
        // without either plays silently (and says so for the mapper).
        AudioOutputWin32 audio;
        SetAudio(&audio);
        app.InitInstance();
        SetAudio(nullptr);
    }
    app.ReportPlaybackEnd();
    SetSys(nullptr);
    return app.ExitCode();
}

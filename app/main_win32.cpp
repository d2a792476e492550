// The game on Windows: the same application object on the Windows backend.
#include "app/GameApp.h"
#include "app/Launcher.h"
#include "platform/win32/AudioOutputWin32.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32System.h"

int main() {
    // The working directory comes first: the game opens every file relative
    // to it. When it cannot be entered, the game starts where it is and
    // reports the files it then misses in its usual way.
    Win32Launcher::Enter(Launcher::GameFiles());
    Win32System system;
    system.Init();
    SetSys(&system);
    {
        // Effects go to PlaySoundA and the song to the MIDI mapper; a machine
        // without either plays silently (and says so for the mapper).
        AudioOutputWin32 audio;
        SetAudio(&audio);
        GameApp app;
        app.InitInstance();
        SetAudio(nullptr);
    }
    SetSys(nullptr);
    return 0;
}

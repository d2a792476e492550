#include <cstdio>
#include <memory>

#include "app/GameApp.h"
#include "app/Launcher.h"
#include "platform/MidiOut.h"
#include "platform/linux/AudioOutputSdl.h"
#include "platform/linux/CurlHttpClient.h"
#include "platform/linux/QuitSignals.h"
#include "platform/linux/SdlSystem.h"

int main(int argc, char** argv) {
    // From here on SIGTERM and SIGINT end the game the way Escape does.
    QuitSignals::Install();
    // Before the directory changes: the files named on the command line are
    // the player's, relative to where the program was started.
    GameApp app;
    if (!app.TakeArguments(argc, argv)) {
        return app.ExitCode();
    }
    app.SetHttpClient(MakeCurlHttpClient());
    // Then the working directory: the game opens every file relative
    // to it. When it cannot be entered, the game starts where it is and
    // reports the files it then misses in its usual way.
    Launcher::Enter();
    SdlSystem system;
    if (!system.Init()) {
        std::fprintf(stderr, "quorvax: %s\n", system.LastError().c_str());
        return 1;
    }
    SetSys(&system);
    {
        // No sound device: the game runs silently.
        const std::unique_ptr<AudioOutputSdl> audio = AudioOutputSdl::Open();
        SetAudio(audio.get());
        if (audio) {
            // Loads while the window, the pictures and the font are made.
            PreloadMidiSynth(*audio);
        }
        app.InitInstance();
    }
    app.ReportPlaybackEnd();
    SetSys(nullptr);
    return app.ExitCode();
}

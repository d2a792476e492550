#include <cstdio>

#include "app/GameApp.h"
#include "platform/SdlSystem.h"

int main() {
    SdlSystem system;
    if (!system.Init()) {
        std::fprintf(stderr, "quorvax: cannot start the video system: %s\n",
                     system.LastError().c_str());
        return 1;
    }
    SetSys(&system);
    {
        GameApp app;
        app.InitInstance();
    }
    SetSys(nullptr);
    return 0;
}

// quorvax-replay: the real main window and game at virtual time, driven by a
// script, in the current working directory like the game. Draws offscreen
// (EGL on Mesa's surfaceless platform), so it needs no display server; with
// --headless it draws nothing and needs no OpenGL at all; --renderer gles2
// draws with the OpenGL ES 2.0 renderer the browser uses.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/ReplayScript.h"
#include "image/PngWriter.h"
#include "platform/virtual/VirtualSystem.h"
#include "render/Renderer.h"

namespace {

void Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: quorvax-replay [--size WxH] [--ticks N] [--script FILE] "
                 "[--shot TICK:FILE.png|.ppm]... [--state-every N] [--check] [--headless] "
                 "[--renderer gl|gles2] [--shots-only] [--help]\n");
}

// A shot whose name ends in ".ppm" is written raw (binary PPM), quick to
// compare pixel by pixel; any other as PNG.
bool WriteShot(const std::string& path, const std::vector<uint8_t>& rgb, int w, int h) {
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".ppm") != 0) {
        return WritePng(path, rgb.data(), w, h);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
    return std::fclose(f) == 0 && written;
}

bool ParseCount(const char* text, uint64_t& out) {
    char* end = nullptr;
    out = std::strtoull(text, &end, 10);
    return end != text && *end == '\0' && text[0] != '-';
}

}  // namespace

int main(int argc, char** argv) {
    VirtualSystem::Options options;
    uint64_t ticks = 0;
    uint64_t stateEvery = 0;
    std::string scriptPath;
    std::multimap<uint64_t, std::string> shots;
    bool check = false;
    bool headless = false;
    bool shotsOnly = false;
    RendererKind renderer = RendererKind::Default;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check") {
            check = true;
            continue;
        }
        if (arg == "--headless") {
            headless = true;
            continue;
        }
        if (arg == "--shots-only") {
            // Draws the frames of the shot ticks and no others: quick comparisons of pictures.
            shotsOnly = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        }
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr && arg.rfind("--", 0) == 0) {
            Usage(stderr);
            return 2;
        }
        if (arg == "--size") {
            if (std::sscanf(value, "%dx%d", &options.desktopWidth, &options.desktopHeight) != 2 ||
                options.desktopWidth < 1 || options.desktopHeight < 1 ||
                options.desktopWidth > 8192 || options.desktopHeight > 8192) {
                std::fprintf(stderr, "quorvax-replay: bad size '%s'\n", value);
                return 2;
            }
        } else if (arg == "--ticks") {
            if (!ParseCount(value, ticks)) {
                std::fprintf(stderr, "quorvax-replay: bad tick count '%s'\n", value);
                return 2;
            }
        } else if (arg == "--script") {
            scriptPath = value;
        } else if (arg == "--shot") {
            const char* colon = std::strchr(value, ':');
            uint64_t tick = 0;
            if (colon == nullptr || !ParseCount(std::string(value, colon).c_str(), tick) ||
                tick == 0 || colon[1] == '\0') {
                std::fprintf(stderr, "quorvax-replay: bad shot '%s'\n", value);
                return 2;
            }
            shots.emplace(tick, colon + 1);
        } else if (arg == "--renderer") {
            const std::string name = value;
            renderer = name == "gl" ? RendererKind::Gl11 : RendererKind::Gles2;
            if ((name != "gl" && name != "gles2") || !Renderer::Available(renderer)) {
                std::fprintf(stderr, "quorvax-replay: no renderer '%s' in this build\n", value);
                return 2;
            }
        } else if (arg == "--state-every") {
            if (!ParseCount(value, stateEvery)) {
                std::fprintf(stderr, "quorvax-replay: bad state interval '%s'\n", value);
                return 2;
            }
        } else {
            Usage(stderr);
            return 2;
        }
        ++i;
    }

    if (headless && !shots.empty()) {
        std::fprintf(stderr, "quorvax-replay: --headless draws no frames to --shot\n");
        return 2;
    }
    // Without pictures the game needs no OpenGL context at all.
    options.gl = !headless;
    options.glApi = renderer == RendererKind::Gles2 ? GlApi::Es2 : GlApi::Compatibility;

    std::vector<ScriptEvent> events;
    RecordingInfo recording;
    if (check && scriptPath.empty()) {
        std::fprintf(stderr, "quorvax-replay: --check needs a recording (--script FILE)\n");
        return 2;
    }
    if (!scriptPath.empty()) {
        std::ifstream in(scriptPath, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "quorvax-replay: cannot read script '%s'\n", scriptPath.c_str());
            return 2;
        }
        std::string error;
        if (!ParseReplayScript(in, events, error, &recording)) {
            std::fprintf(stderr, "quorvax-replay: %s: %s\n", scriptPath.c_str(), error.c_str());
            return 2;
        }
    }
    if (check && recording.finalState.empty()) {
        std::fprintf(stderr,
                     "quorvax-replay: %s: no final state to check against (the recorded game "
                     "did not end normally, or this is not a recording)\n",
                     scriptPath.c_str());
        return 2;
    }
    if (const std::string differences = recording.DifferencesFrom(RecordingInfo::OfThisGame());
        recording.isRecording && !differences.empty()) {
        std::fprintf(stderr, "quorvax-replay: %s was recorded with other game files: %s\n",
                     scriptPath.c_str(), differences.c_str());
    }
    uint64_t lastEvent = 0;
    for (const ScriptEvent& ev : events) {
        lastEvent = std::max(lastEvent, ev.tick);
    }
    if (ticks == 0) {
        // A recorded game that was closed or quit ran on after its last key.
        ticks = std::max<uint64_t>({lastEvent, recording.finalTick, 1});
    }

    VirtualSystem sys(options);
    SetSys(&sys);
    for (const ScriptEvent& ev : events) {
        sys.Schedule(ev.tick, ev.msg);
    }
    sys.onMessage = [](const VirtualSystem::CapturedMessage& m) {
        std::printf("message %s: %s\n", m.caption.c_str(), m.text.c_str());
        std::fflush(stdout);
    };
    int result = 0;
    {
        MainWindow window;
        window.game.drawing = !headless;
        window.game.startTable = recording.table;
        if (renderer != RendererKind::Default) {
            window.game.renderer = Renderer::Make(renderer);
        }
        uint64_t lastTick = 0;
        sys.afterTick = [&](uint64_t tick) {
            lastTick = tick;
            auto range = shots.equal_range(tick);
            for (auto it = range.first; it != range.second; ++it) {
                std::vector<uint8_t> rgb;
                int w = 0, h = 0;
                if (!sys.ReadPixels(rgb, w, h) || !WriteShot(it->second, rgb, w, h)) {
                    std::fprintf(stderr, "quorvax-replay: could not write shot '%s'\n",
                                 it->second.c_str());
                    result = 1;
                }
            }
            if (shotsOnly && !headless) {
                window.game.drawing = shots.count(tick + 1) != 0;
            }
            if (stateEvery != 0 && tick % stateEvery == 0) {
                std::printf("%s\n", FormatState(window.game, tick).c_str());
            }
        };
        sys.RunModalFor(window, ticks);
        const bool escaped = window.Result() == IDCANCEL && lastTick < ticks;
        const std::string state = FormatState(window.game, lastTick);
        std::printf("%s\n", state.c_str());
        if (check && state != recording.finalState) {
            std::printf(
                "check: the replay ends otherwise than the recorded game (- recorded, + replayed)\n"
                "- %s\n+ %s\n",
                recording.finalState.c_str(), state.c_str());
            result = 1;
        } else if (check) {
            std::printf("check: the same final state as the recorded game\n");
        }
        if (escaped) {
            std::printf("end: the program ended at tick %llu\n",
                        static_cast<unsigned long long>(lastTick));
        } else {
            std::printf("end: ran %llu ticks to the end of the script\n",
                        static_cast<unsigned long long>(lastTick));
        }
        sys.afterTick = nullptr;
    }
    SetSys(nullptr);
    return result;
}

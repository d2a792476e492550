// quorvax-verify FILE: verifies a recorded game as the leaderboard server
// does and prints the verdict. Exit status 0 verified, 1 refused, 2 unusable
// command line or unreadable file.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "server/GameVerifier.h"

int main(int argc, char** argv) {
    bool canonical = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--canonical") == 0) {
            canonical = true;
        } else if (path == nullptr && argv[i][0] != '-') {
            path = argv[i];
        } else {
            path = nullptr;
            break;
        }
    }
    if (path == nullptr) {
        std::fprintf(stderr, "usage: quorvax-verify [--canonical] FILE\n");
        return 2;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "quorvax-verify: cannot read '%s'\n", path);
        return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const VerifiedGame v = VerifyRecording(text, VerifyLimits{});
    if (!v.ok) {
        std::printf("refused: %s\n", v.reason.c_str());
        return 1;
    }
    if (canonical) {
        std::fputs(v.canonical.c_str(), stdout);
        return 0;
    }
    std::printf("verified: score=%d level=%d ticks=%llu..%llu rules=%s system=%s\n%s\n", v.score,
                v.level, static_cast<unsigned long long>(v.startTick),
                static_cast<unsigned long long>(v.endTick), v.rules.c_str(),
                v.system.empty() ? "-" : v.system.c_str(), v.finalState.c_str());
    return 0;
}

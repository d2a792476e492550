// The leaderboard's submission path: a recording read and played again by
// the verifier, within small bounds so that each input stays quick.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "server/GameVerifier.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VerifyLimits limits;
    limits.maxTicks = 4000;
    limits.maxCpuSeconds = 0.5;
    limits.maxBytes = 64 * 1024;
    const VerifiedGame v =
        VerifyRecording(std::string_view(reinterpret_cast<const char*>(data), size), limits);
    if (v.ok && !VerifyRecording(v.canonical, limits).ok) {
        __builtin_trap();  // the canonical text of a verified game verifies too
    }
    return 0;
}

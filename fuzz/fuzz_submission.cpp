// The server's submission path: the body read and checked, then its
// recording verified by the world's rules (small limits keep runs short).
#include <cstddef>
#include <cstdint>
#include <string>

#include "server/GameVerifier.h"
#include "server/Submission.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VerifyLimits limits;
    limits.maxTicks = 20000;
    limits.maxCpuSeconds = 0.5;
    limits.maxBytes = 64 * 1024;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Submission submission = ReadSubmission(text, limits);
    // Most mutations break the JSON: the bytes are also verified as a recording.
    const VerifiedGame v =
        VerifyRecording(submission.status == 0 ? submission.recording : text, limits);
    if (v.ok && !VerifyRecording(v.canonical, limits).ok) {
        __builtin_trap();  // the canonical text of a verified game verifies too
    }
    return 0;
}

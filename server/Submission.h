#pragma once
#include <string>

#include "server/GameVerifier.h"

// A submitted game's body read and checked, before its recording is
// verified: the name normalised, or the status and reason of the refusal.
struct Submission {
    int status = 0;      // 0 when the body is usable, else the 4xx to answer
    std::string reason;  // one line when refused
    std::string name;
    std::string recording;
    std::string token;
};

// Reads `{"name", "recording", "token"?}` of POST /api/games; called on a
// worker thread for every submission (and by the submission fuzzer).
Submission ReadSubmission(const std::string& body, const VerifyLimits& limits);

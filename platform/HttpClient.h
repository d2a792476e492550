#pragma once

#include <memory>
#include <string>

// What an HTTP request came to: the status and body of the answer, or
// status 0 and the reason when none came (no network, refused, timed out).
struct HttpResponse {
    int status = 0;
    std::string body;
    std::string error;
};

// A blocking HTTP client for the leaderboard, used from a worker thread
// only: the game's tick never waits on it. One per backend that has a
// network (platform/linux: libcurl, platform/win32: WinHTTP); a build
// without one sends nothing.
class HttpClient {
  public:
    virtual ~HttpClient() = default;
    // POSTs a JSON body; bounded by the backend's own timeouts.
    virtual HttpResponse PostJson(const std::string& url, const std::string& json) = 0;
};

#pragma once

#include <memory>
#include <string>

#include "platform/HttpClient.h"

// Where a request to an http or https address goes, as WinHTTP takes it.
struct HttpTarget {
    bool secure = false;
    std::wstring host;
    unsigned short port = 0;
    std::wstring path;  // with the query; "/" when the address has none
    std::string error;  // why the address cannot be used; empty when it can
};

// WinHttpClient for each request: the address read by WinHttpCrackUrl
// (http or https, any port); anything else comes back with its error set.
HttpTarget HttpTargetFromUrl(const std::string& url);

// WinHTTP behind HttpClient (main() on Windows hands it to the game): a
// system library, so the game needs no DLL of its own for it.
std::unique_ptr<HttpClient> MakeWinHttpClient();

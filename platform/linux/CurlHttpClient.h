#pragma once

#include <memory>

#include "platform/HttpClient.h"

// libcurl behind HttpClient (main() on Linux hands it to the game). Null
// when libcurl cannot be set up.
std::unique_ptr<HttpClient> MakeCurlHttpClient();

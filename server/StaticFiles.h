#pragma once
#include <string>

#include "server/Api.h"

// Answers a request under /play/ from the browser build in `siteDir`:
// the file's bytes with its media type, 404 for anything outside the
// directory or missing, 405 for anything but GET and HEAD. Called on the
// worker threads.
ApiResponse ServeStatic(const std::string& siteDir, const std::string& target, bool readable);

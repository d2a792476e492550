#pragma once

#include <string>

// Makes a new, empty directory under the system's temporary directory, its
// name starting with prefix; "" when none can be made. Tests that need
// files of their own; the caller removes it.
std::string MakeScratchDir(const std::string& prefix);

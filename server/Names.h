#pragma once
#include <string>

// A player's name as the table stores it, or why it cannot be one.
struct NameCheck {
    bool ok = false;
    std::string name;    // NFC-normalised UTF-8 when ok
    std::string reason;  // one line when not ok
};

// Checks a submitted name: valid UTF-8, 1 to 24 characters after NFC
// normalisation, printable, no control, format (bidi) or unassigned
// characters, no space at either end. Called for every submission and by
// the admin rename.
NameCheck CheckName(const std::string& utf8);

constexpr int kMaxNameCharacters = 24;

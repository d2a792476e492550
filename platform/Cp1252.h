#pragma once

#include <cstdint>
#include <string>

// The game's text is Windows-1252 bytes (names in the score file, the font
// lists 1000..1254); the platform meets UTF-8 (typed text) and Unicode fonts.
// These are the only conversions between them.

// Unicode code point of a Windows-1252 byte, for drawing with a Unicode font.
// Bytes 0x80..0x9F differ from Latin-1; the five undefined ones map to the C1
// controls, so they draw as nothing.
char32_t Cp1252ToUnicode(uint8_t byte);

// The Windows-1252 byte of a code point; '?' when the code page has none.
char Cp1252FromUnicode(char32_t cp);

// True for the code points drawn as nothing with no advance, and never typed
// into a single-line field.
bool IsControlCodePoint(char32_t cp);

// Decodes the next UTF-8 code point at pos and moves pos past it. Malformed
// bytes (stray continuations, overlong forms, surrogates, values past
// U+10FFFF, cut sequences) give U+FFFD and advance by one byte.
char32_t NextUtf8(const std::string& s, size_t& pos);
// Appends a code point of the Basic Multilingual Plane (all that Windows-1252
// maps to) as UTF-8: the recording's table lines, the page's JSON.
void AppendUtf8(std::string& out, char32_t cp);

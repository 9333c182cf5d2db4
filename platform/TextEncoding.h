#pragma once

// Conversion between the program's byte strings, which are Windows-1252 (code page 1252),
// and UTF-8, which the system (window titles, message boxes, text input, file names shown
// to the user) speaks.

#include <string>

namespace plat {

// Every byte becomes one character. The five bytes that code page 1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, as
// Windows converts them, so the conversion back restores them.
std::string Cp1252ToUtf8(const std::string& text);

// Each character that code page 1252 holds becomes its byte; any other character, and
// each byte of a malformed UTF-8 sequence, becomes `replacement`.
std::string Utf8ToCp1252(const std::string& text, char replacement = '?');

}  // namespace plat

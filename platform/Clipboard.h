#pragma once

// The system clipboard's text, in the program's Windows-1252 (converted to and from the
// system's UTF-8). Characters the clipboard holds that code page 1252 lacks read as '?'.
// Without a real display the text lives in the process for the rest of the run.
// Main thread only.

#include <string>

namespace plat {

bool SetClipboardText(const std::string& text);
// False (and empty text) when the clipboard cannot be read.
bool GetClipboardText(std::string* text);

}  // namespace plat

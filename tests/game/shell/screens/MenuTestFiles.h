#pragma once

// Content files of the menu tests and benchmark, written under a temporary folder.

#include <filesystem>
#include <string>
#include <vector>

#include "tests/game/shell/TestFiles.h"

namespace menutest {

// Writes text given with LF line ends as a file with CR LF line ends (as the game's
// data files are written), making its folders.
inline void WriteText(const std::string& path, const std::string& lfText) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string text;
    for (char c : lfText) {
        if (c == '\n') text += '\r';
        text += c;
    }
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace menutest

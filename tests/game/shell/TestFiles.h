#pragma once

#include "tests/platform/TempDir.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

using velmtest::TempDir;

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    // Removed first: truncating a file in place makes some file systems flush
    // it on close, which is slow in loops of thousands.
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes an INI-style file; lines are joined with CR LF, as the game's data files
// are (the INI reader takes LF too).
inline void WriteIni(const std::string& path, std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

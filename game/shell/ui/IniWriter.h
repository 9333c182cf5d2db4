#pragma once

#include <string>

class IniFile_t;

// Writes an INI file to a disk path (never into the resource pack): every
// section in the file's order as its comment text, "[name]" and CR LF, then
// every key with a non-empty name as its comment, "key=value" and CR LF. No
// blank lines; comments come out exactly as stored (their lines already end in
// CR LF). The file is replaced whole or not at all; false when it cannot be
// written.
bool WriteIniFile(const IniFile_t& file, const std::string& path);

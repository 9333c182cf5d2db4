#pragma once

// Helpers of the content checks: the content folder is the working directory of the tests,
// as the game's folder is the game's. Files are named by paths relative to it.

#include <set>
#include <string>
#include <vector>

#include "engine/util/IniFile.h"

namespace contenttest {

// Files a run of the program may leave in its folder (crash reports and logs, players and
// scores where the data folder is the program's, demos, screenshots): no content.
bool IsLeftByARun(const std::string& path);
// Every regular file below the working directory, relative and with '/' separators, but for
// those left by a run.
std::vector<std::string> ListFiles();
bool ReadBytes(const std::string& path, std::string* bytes);
// The INI file parsed from its bytes; false when it cannot be read.
bool LoadIni(const std::string& path, IniFile_t* ini);
// Whether a picture of this name (no extension) exists as the game would find it.
bool PictureExists(const std::string& name);
// The keys of termins.txt.
const std::set<std::string>& TextKeys();
// The text of a key of termins.txt ("" when missing).
std::string TextOf(const std::string& key);

}  // namespace contenttest

#pragma once

// Builds resource pack files (format in PakInterface.h). The pack tool packs the
// game's content folder with it, and tests build their fixtures with it.

#include <cstdint>
#include <string>
#include <vector>

struct PakWriterEntry {
    std::string name;  // stored exactly as given (see PakEntryName)
    std::string data;
    uint64_t time = 0;  // 100 ns units since 1601-01-01 UTC
};

// The entry name as a pack stores it so that lookups find it: separators as
// single '\', no leading separator, no "." elements. Letter case is kept.
std::string PakEntryName(const std::string& relativePath);

// The scrambled bytes of a pack holding the entries in the given order, names
// stored as given. False
// (and *error set) when a name is empty or longer than 255 bytes, or the pack
// would exceed 2 GB.
bool BuildPak(const std::vector<PakWriterEntry>& entries, std::string& out, std::string* error = nullptr);

// Packs every file below folder (sorted by path) into pakPath, written
// atomically. False with a reason in *error.
bool WritePakFromFolder(const std::string& folder, const std::string& pakPath, std::string* error = nullptr);

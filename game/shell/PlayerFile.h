#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Velm {
class Buffer;
}

// Reading and writing the player's own files (profile list, profiles, score
// table) in the application-data folder. They are Velm::Buffer images:
// integers little-endian, strings as a 16-bit length and their bytes, booleans
// as one byte.

// The largest player file that is read; anything bigger is not one of ours
// and is treated as unreadable (so a bad file never makes a huge allocation).
const int64_t kMaxPlayerFileBytes = 1 << 20;

// Reads a whole player file into the buffer (read cursor at the start).
// False when the file cannot be read or is larger than kMaxPlayerFileBytes.
bool ReadPlayerFile(const std::string& path, Velm::Buffer& buffer);

// Writes the buffer as the whole file, creating missing folders first. The
// write is atomic: on any failure (full disk, no permission, a crash) the
// previous file stays as it was, and the reason is put in *error.
bool WritePlayerFile(const std::string& path, const Velm::Buffer& buffer, std::string* error);

// Reads the values of a loaded buffer and notices when the data runs out, so a
// truncated file is told apart from one that holds zeros. A failed read leaves
// the value untouched and the reader failed for good.
class PlayerFileReader {
public:
    explicit PlayerFileReader(Velm::Buffer& buffer) : mBuffer(buffer) {}

    bool ReadLong(int& value);
    bool ReadBoolean(bool& value);
    // A stored length with its top bit set reads as "" (two bytes consumed).
    bool ReadString(std::string& value);

    // Whole bytes not read yet; 0 once the reader has failed.
    int RemainingBytes() const;
    bool Failed() const { return mFailed; }

private:
    bool Need(int bytes);

    Velm::Buffer& mBuffer;
    bool mFailed = false;
};

// The bytes of a written buffer, for comparing two serialised states.
std::vector<uint8_t> BufferBytes(const Velm::Buffer& buffer);

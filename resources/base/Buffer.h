#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Velm {

// A growable byte vector that serialises values through two independent bit
// cursors, one for writing and one for reading. Demo recordings, profiles, the
// score table and crash data are built and read through it; it never touches a
// file itself.
//
// Bit position p lies in byte p / 8 at bit p % 8 (bit 0 least significant).
// Multi-bit values are stored least significant bit first and multi-byte
// values least significant byte first; nothing is aligned, so a byte written
// after a single bit straddles two stored bytes. Strings are a 16-bit
// little-endian length followed by the bytes, with no terminator.
//
// A buffer is either written from empty (or after Clear) or loaded whole with
// SetData and then read: SetData leaves both cursors where they were.
// Not thread-safe; each buffer belongs to one thread at a time.
class Buffer {
public:
    // The longest string WriteString stores: a length with its top bit set
    // reads back as the empty string, so longer texts are cut to this size.
    static const int kMaxStringLength = 0x7FFF;

    Buffer();
    virtual ~Buffer();

    void Clear();
    void SetData(const void* data, int count);
    const uint8_t* GetDataPtr() const;
    uint8_t* GetDataPtr();
    int GetDataLen() const;
    void RewindRead();
    bool AtEnd() const;

    void WriteByte(int value);
    void WriteNumBits(int value, int count);
    void WriteBoolean(bool value);
    void WriteLong(int value);
    void WriteString(const std::string& text);
    void WriteBytes(const void* data, int count);

    uint8_t ReadByte();
    int ReadNumBits(int count, bool signExtension);
    bool ReadBoolean();
    int ReadLong();
    void ReadBytes(void* data, int count);
    std::string ReadString();
    std::string ReadLine();

    // The whole contents decoded as UTF-8 into 16-bit characters, independent
    // of both cursors. Decoding stops silently at the first malformed,
    // overlong or surrogate sequence.
    std::wstring UTF8ToWideString() const;

    // Bits written so far (the data size) and the cursors, for callers that
    // need to know how far a stream has been read.
    int GetDataSizeBits() const { return mDataBitSize; }
    int GetReadBitPos() const { return mReadBitPos; }
    int GetWriteBitPos() const { return mWriteBitPos; }

private:
    std::vector<uint8_t> mData;
    int mDataBitSize;
    int mReadBitPos;
    int mWriteBitPos;
};

}  // namespace Velm

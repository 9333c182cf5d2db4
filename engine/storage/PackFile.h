#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <vector>

// A packed file body: the content of a file stored zlib-compressed. On disk:
//
//   offset 0  int32 LE  unpacked size (bytes of the content)
//   offset 4  int32 LE  packed size (bytes of the stream that follows)
//   offset 8  zlib stream (RFC 1950) of the content, level 1, 15-bit window
//
// A file opened for writing and closed without any write stays empty (0 bytes).
//
// Reading inflates the whole content at construction and serves reads and seeks from
// memory. Writing deflates every write into a memory buffer that grows in steps of
// 5,000,000 bytes and writes the file when it is finished. Any failure sets the error
// flag, after which every operation answers -1. The object owns the open file and closes
// it. Used by the directory storage for the files of a packed storage and for ".cdf"
// files; one thread at a time.
class PackFile_t {
public:
    static constexpr int kBufferStep = 5000000;

    // `file` is taken over (closed by Finish or the destructor); null leaves the object
    // failed.
    PackFile_t(FILE* file, bool write);
    virtual ~PackFile_t();
    PackFile_t(const PackFile_t&) = delete;
    PackFile_t& operator=(const PackFile_t&) = delete;

    virtual int Read(void* buffer, unsigned count, unsigned* read);
    virtual int Write(const void* data, int count, int* written);
    virtual int Seek(int origin, unsigned offset, unsigned* position);

    // Writes the packed file when something was written, then closes the file. False when
    // the file could not be written whole (or the object had failed before). Called by
    // the storage's close; the destructor calls it when nobody did.
    bool Finish();

    bool IsWriting() const { return mWriteMode; }
    bool HasError() const { return mError; }
    int GetUnpackedSize() const { return mUnpackedSize; }
    int GetCapacity() const { return mCapacity; }

private:
    void OpenForReading();
    void OpenForWriting();
    // Deflates with `flush` until the output stops filling the buffer, growing it.
    bool DeflateAll(int flush);

    int mCapacity = kBufferStep;
    FILE* mFile = nullptr;
    z_stream mStream{};
    bool mStreamReady = false;
    bool mWritten = false;
    bool mWriteMode = false;
    bool mFinished = false;
    std::vector<uint8_t> mBuffer;
    unsigned mReadPosition = 0;
    int mUnpackedSize = 0;
    int mPackedSize = 0;
    bool mError = false;
};

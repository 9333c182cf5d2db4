#pragma once

// What the image readers read from: an open pack file or bytes in memory.
// Private to the ImageLib readers.

#include <cstddef>
#include <cstdint>
#include <string>

#include "resources/ImageLib.h"

struct PakFileHandle;

namespace ImageLib {
namespace detail {

class Source {
public:
    virtual ~Source() = default;
    // Up to count bytes; the number read (0 at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    // To an absolute offset from the start; false when it cannot.
    virtual bool Seek(int64_t offset) = 0;
    virtual int64_t Tell() = 0;
    // Bytes in the whole file, -1 when unknown.
    virtual int64_t Size() = 0;

    // True only when all count bytes were read.
    bool ReadAll(void* buffer, size_t count) { return Read(buffer, count) == count; }

    // The file's name for the readers' messages; "memory" for bytes in memory.
    const std::string& GetName() const { return mName; }
    void SetName(const std::string& name) { mName = name; }

private:
    std::string mName = "memory";
};

// An open pack-aware file; closed by the destructor.
class PakSource : public Source {
public:
    explicit PakSource(PakFileHandle* file) : mFile(file) {}
    ~PakSource() override;
    PakSource(const PakSource&) = delete;
    PakSource& operator=(const PakSource&) = delete;
    size_t Read(void* buffer, size_t count) override;
    bool Seek(int64_t offset) override;
    int64_t Tell() override;
    int64_t Size() override;

private:
    PakFileHandle* mFile;
};

class MemorySource : public Source {
public:
    MemorySource(const void* data, size_t size) : mData(static_cast<const uint8_t*>(data)), mSize(size) {}
    size_t Read(void* buffer, size_t count) override;
    bool Seek(int64_t offset) override;
    int64_t Tell() override { return static_cast<int64_t>(mPos); }
    int64_t Size() override { return static_cast<int64_t>(mSize); }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
};

// A picture of the given size with its pixels allocated (not cleared), or
// null when the size is 0, negative or beyond the readers' limits.
Image* NewImage(int width, int height);

// Opens the file with PakFOpen "rb" and runs the reader; null when the file
// cannot be opened.
Image* ReadFile(const std::string& fileName, Image* (*reader)(Source&));

Image* ReadTGA(Source& source);
Image* ReadJPEG(Source& source);
Image* ReadPNG(Source& source);
Image* ReadGIF(Source& source);
Image* ReadJPEG2000(Source& source);

}  // namespace detail
}  // namespace ImageLib

#pragma once

// A whole file mapped read-only into memory (what a file mapping was), for large data
// files read in place such as resource packs. The bytes stay valid until Close or
// destruction; the mapping is private, so later changes to the file on disk are not
// promised to show. Not copyable; one thread opens and closes, any may read.

#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the file at `path` (program path, see NativePath); closes any earlier one.
    // False when it cannot be opened or mapped. An empty file opens with no data.
    bool Open(const std::string& path);
    void Close();

    const uint8_t* Data() const { return mData; }
    size_t Size() const { return mSize; }

private:
    const uint8_t* mData = nullptr;
    size_t mSize = 0;
};

}  // namespace plat

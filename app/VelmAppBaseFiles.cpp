// Whole-file reads of the program's data files.

#include <cstdio>
#include <vector>

#include "app/VelmAppBase.h"
#include "resources/pack/PakFile.h"

namespace Velm {

bool VelmAppBase::ReadBufferFromFile(const std::string& path, Buffer& buffer)
{
    PakFileHandle* file = PakFOpen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    PakFSeek(file, 0, SEEK_END);
    const long size = PakFTell(file);
    PakFSeek(file, 0, SEEK_SET);
    if (size < 0) {
        PakFClose(file);
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    const int read = size > 0 ? PakFRead(bytes.data(), 1, static_cast<int>(size), file) : 0;
    PakFClose(file);
    if (read != size)
        return false;
    buffer.Clear();
    buffer.SetData(bytes.data(), static_cast<int>(bytes.size()));
    return true;
}

} // namespace Velm

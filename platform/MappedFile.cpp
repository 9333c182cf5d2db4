#include "platform/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Files.h"

namespace plat {

MappedFile::~MappedFile() { Close(); }

bool MappedFile::Open(const std::string& path) {
    Close();
    int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    const size_t size = static_cast<size_t>(st.st_size);
    if (size == 0) {
        close(fd);
        return true;
    }
    void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);  // the mapping keeps the file open
    if (data == MAP_FAILED) return false;
    mData = static_cast<const uint8_t*>(data);
    mSize = size;
    return true;
}

void MappedFile::Close() {
    if (mData) munmap(const_cast<uint8_t*>(mData), mSize);
    mData = nullptr;
    mSize = 0;
}

}  // namespace plat

#include "resources/ImageLib.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "resources/ImageLibSource.h"
#include "resources/pack/PakFile.h"

namespace ImageLib {

std::atomic<uint32_t> gAlphaColor{0xFFFFFF};

namespace {

std::atomic<bool> gJPEG2000Enabled{false};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool EqualsNoCase(const std::string& a, const char* b) {
    const size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char ca = a[i];
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
        if (ca != b[i]) return false;
    }
    return true;
}

struct Reader {
    const char* extension;  // lower case, with the dot
    Image* (*read)(const std::string&);
};

// The order in which an extension-less name tries the formats.
const Reader kReaders[] = {
        {".tga", GetTGAImage}, {".jpg", GetJPEGImage},     {".png", GetPNGImage},
        {".gif", GetGIFImage}, {".j2k", GetJPEG2000Image}, {".jp2", GetJPEG2000Image},
};

Image* ReadPicture(const std::string& fileName) {
    std::string base = fileName;
    std::string extension;
    const size_t dot = fileName.rfind('.');
    size_t separator = std::string::npos;
    for (size_t i = fileName.size(); i-- > 0;) {
        if (IsSeparator(fileName[i])) {
            separator = i;
            break;
        }
    }
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator)) {
        extension = fileName.substr(dot);
        base = fileName.substr(0, dot);
    }
    for (const Reader& reader : kReaders) {
        if (!extension.empty() && !EqualsNoCase(extension, reader.extension)) continue;
        if (Image* image = reader.read(base + reader.extension)) return image;
    }
    return nullptr;
}

Image* ReadCompanion(const std::string& fileName) {
    size_t split = 0;
    for (size_t i = fileName.size(); i-- > 0;) {
        if (IsSeparator(fileName[i])) {
            split = i + 1;
            break;
        }
    }
    const std::string before = fileName.substr(0, split) + "_" + fileName.substr(split);
    if (Image* companion = ReadPicture(before)) return companion;
    return ReadPicture(fileName + "_");
}

}  // namespace

Image::~Image() { delete[] mBits; }

Image* GetImage(const std::string& fileName, bool lookForAlpha) {
    std::unique_ptr<Image> picture(ReadPicture(fileName));
    if (!lookForAlpha) return picture.release();

    std::unique_ptr<Image> companion(ReadCompanion(fileName));
    if (companion == nullptr) return picture.release();
    const int64_t count = int64_t(companion->mWidth) * companion->mHeight;
    if (picture == nullptr) {
        // Only the alpha exists: the companion's blue bytes over the alpha colour.
        const uint32_t rgb = gAlphaColor.load() & 0xFFFFFF;
        for (int64_t i = 0; i < count; ++i) companion->mBits[i] = (companion->mBits[i] << 24) | rgb;
        return companion.release();
    }
    if (picture->mWidth == companion->mWidth && picture->mHeight == companion->mHeight) {
        for (int64_t i = 0; i < count; ++i) {
            picture->mBits[i] = (picture->mBits[i] & 0xFFFFFF) | (companion->mBits[i] << 24);
        }
    }
    return picture.release();
}

Image* GetTGAImage(const std::string& fileName) { return detail::ReadFile(fileName, detail::ReadTGA); }

Image* GetJPEGImage(const std::string& fileName) { return detail::ReadFile(fileName, detail::ReadJPEG); }

Image* GetPNGImage(const std::string& fileName) { return detail::ReadFile(fileName, detail::ReadPNG); }

Image* GetGIFImage(const std::string& fileName) { return detail::ReadFile(fileName, detail::ReadGIF); }

Image* GetJPEG2000Image(const std::string& fileName) {
    if (!IsJPEG2000Enabled()) return nullptr;
    return detail::ReadFile(fileName, detail::ReadJPEG2000);
}

Image* ReadTGAImage(const void* data, size_t size) {
    detail::MemorySource source(data, size);
    return detail::ReadTGA(source);
}

Image* ReadJPEGImage(const void* data, size_t size) {
    detail::MemorySource source(data, size);
    return detail::ReadJPEG(source);
}

Image* ReadPNGImage(const void* data, size_t size) {
    detail::MemorySource source(data, size);
    return detail::ReadPNG(source);
}

Image* ReadGIFImage(const void* data, size_t size) {
    detail::MemorySource source(data, size);
    return detail::ReadGIF(source);
}

Image* ReadJPEG2000Image(const void* data, size_t size) {
    if (!IsJPEG2000Enabled()) return nullptr;
    detail::MemorySource source(data, size);
    return detail::ReadJPEG2000(source);
}

void InitJPEG2000() { gJPEG2000Enabled = true; }

void CloseJPEG2000() { gJPEG2000Enabled = false; }

bool IsJPEG2000Enabled() { return gJPEG2000Enabled.load(); }

namespace detail {

PakSource::~PakSource() {
    if (mFile != nullptr) PakFClose(mFile);
}

size_t PakSource::Read(void* buffer, size_t count) {
    size_t total = 0;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    // PakFRead counts in ints: large reads go in slices.
    while (total < count) {
        const int slice = static_cast<int>(std::min<size_t>(count - total, 1 << 30));
        const int got = PakFRead(out + total, 1, slice, mFile);
        if (got <= 0) break;
        total += static_cast<size_t>(got);
        if (got < slice) break;
    }
    return total;
}

bool PakSource::Seek(int64_t offset) {
    if (offset < 0 || offset > 0x7FFFFFFF) return false;
    return PakFSeek(mFile, static_cast<long>(offset), SEEK_SET) == 0;
}

int64_t PakSource::Tell() { return PakFTell(mFile); }

int64_t PakSource::Size() {
    const long here = PakFTell(mFile);
    if (here < 0 || PakFSeek(mFile, 0, SEEK_END) != 0) return -1;
    const long end = PakFTell(mFile);
    PakFSeek(mFile, here, SEEK_SET);
    return end;
}

size_t MemorySource::Read(void* buffer, size_t count) {
    const size_t n = std::min(count, mSize - mPos);
    if (n > 0) std::memcpy(buffer, mData + mPos, n);
    mPos += n;
    return n;
}

bool MemorySource::Seek(int64_t offset) {
    if (offset < 0 || static_cast<uint64_t>(offset) > mSize) return false;
    mPos = static_cast<size_t>(offset);
    return true;
}

Image* NewImage(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) return nullptr;
    const int64_t count = int64_t(width) * height;
    if (count > kMaxPixels) return nullptr;
    uint32_t* bits = new (std::nothrow) uint32_t[static_cast<size_t>(count)];
    if (bits == nullptr) return nullptr;
    Image* image = new Image;
    image->mWidth = width;
    image->mHeight = height;
    image->mBits = bits;
    return image;
}

Image* ReadFile(const std::string& fileName, Image* (*reader)(Source&)) {
    PakFileHandle* file = PakFOpen(fileName.c_str(), "rb");
    if (file == nullptr) return nullptr;
    PakSource source(file);
    source.SetName(fileName);
    return reader(source);
}

}  // namespace detail
}  // namespace ImageLib

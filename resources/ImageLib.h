#pragma once

// Image files to plain 32-bit pictures and back.
//
// Readers exist for TGA, JPEG, PNG, GIF and JPEG 2000 (".j2k", ".jp2"). Each
// opens its file through the pack-aware file functions (the resource pack
// first, then the disk), reads it whole and closes it on every path; a
// missing file, a bad signature or a decoding error gives null, never a
// partly built picture. Every reader also has a form that takes the file's
// bytes held in memory.
//
// Pictures are row after row, top row first, one 32-bit word per pixel as
// 0xAARRGGBB. Readers refuse pictures wider or higher than kMaxDimension or
// of more than kMaxPixels pixels, so that a broken header cannot ask for an
// absurd amount of memory.
//
// The writers (PNG, JPEG) encode in memory and write the file to the disk
// whole or not at all (plat::WriteFileAtomic).
//
// Threads: the readers keep no state apart from the alpha colour and the
// JPEG 2000 switch below, so any thread may read images. The resource manager
// sets the alpha colour around one load on its loading thread.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ImageLib {

const int kMaxDimension = 16384;
const int64_t kMaxPixels = int64_t(1) << 24;  // 64 MB of pixels

// A decoded picture. The pixels are owned (new[]) and freed by the
// destructor; a caller that lends its own array clears mBits before the
// picture is destroyed.
class Image {
public:
    Image() = default;
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int mWidth = 0;
    int mHeight = 0;
    uint32_t* mBits = nullptr;  // mWidth * mHeight words
};

// The RGB (0xRRGGBB) given to a picture that exists only as an alpha
// companion; 0xFFFFFF unless a load sets it for its duration.
extern std::atomic<uint32_t> gAlphaColor;

// Reads a picture by file name. With an extension (the text from the last
// '.' after the last separator) only the reader of that extension is tried,
// case-insensitively, on the name with its extension in lower case; without
// one the readers are tried in the order tga, jpg, png, gif, j2k, jp2 and the
// first picture read wins. Any other extension reads nothing.
//
// lookForAlpha: an alpha companion is looked for, first as the same name with
// "_" in front of the file part ("images/_tile.png" for "images/tile.png"),
// then as the name with "_" after it. A companion of the picture's size gives
// every pixel its blue byte as alpha; one of another size is ignored. A
// companion without a picture becomes the picture itself: its blue bytes as
// alpha over gAlphaColor.
Image* GetImage(const std::string& fileName, bool lookForAlpha = true);

// The readers by format; each reads exactly the file named.
Image* GetTGAImage(const std::string& fileName);
Image* GetJPEGImage(const std::string& fileName);
Image* GetPNGImage(const std::string& fileName);
Image* GetGIFImage(const std::string& fileName);
// Null while JPEG 2000 is switched off (see InitJPEG2000).
Image* GetJPEG2000Image(const std::string& fileName);

// The same readers over bytes held in memory.
Image* ReadTGAImage(const void* data, size_t size);
Image* ReadJPEGImage(const void* data, size_t size);
Image* ReadPNGImage(const void* data, size_t size);
Image* ReadGIFImage(const void* data, size_t size);
Image* ReadJPEG2000Image(const void* data, size_t size);

// JPEG: baseline RGB at quality 80, alpha dropped. PNG: 8 bits per channel
// RGBA, not interlaced. False when the picture is empty, encoding fails or the
// file cannot be written; a file that existed before is then left as it was.
bool WriteJPEGImage(const std::string& fileName, const Image* image);
bool WritePNGImage(const std::string& fileName, const Image* image);

// The JPEG 2000 switch: off until InitJPEG2000, which the application calls
// when it starts; CloseJPEG2000 at shutdown switches it off again. While off,
// every ".j2k" and ".jp2" read gives null and the other formats are
// unaffected.
void InitJPEG2000();
void CloseJPEG2000();
bool IsJPEG2000Enabled();

}  // namespace ImageLib

// GIF reader: the first image of a GIF87a or GIF89a file.
//
// Layout: "GIF87a"/"GIF89a"; logical screen descriptor (width 2, height 2,
// flags 1, background 1, aspect 1) with a global colour table of
// 2^((flags & 7) + 1) RGB entries when flags bit 0x80 is set; then blocks
// until the image descriptor ','. Extensions '!' carry a label and data
// sub-blocks (a length byte, then that many bytes, 0 ends them); the graphic
// control extension (label 0xF9) may name a transparent index. The image
// descriptor (left 2, top 2, width 2, height 2, flags 1) may bring a local
// colour table (bit 0x80) and ask for interlaced rows (bit 0x40); the LZW
// data follows as a minimum code size byte and data sub-blocks.
//
// The picture has the image descriptor's size. Decoding stops once every
// pixel has been written, so an over-long stream cannot write past the
// picture; pixels a short stream never reaches stay transparent black. An
// index beyond the colour table (or any index when there is no table) is
// transparent, like the transparent index.

#include <cstring>
#include <memory>

#include "resources/ImageLibSource.h"

namespace ImageLib {
namespace detail {

namespace {

const int kMaxCodes = 4096;

struct ColorTable {
    uint32_t colors[256];
    int count = 0;
};

bool ReadColorTable(Source& source, int flags, ColorTable& table) {
    const int count = 1 << ((flags & 7) + 1);
    uint8_t rgb[256 * 3];
    if (!source.ReadAll(rgb, static_cast<size_t>(count) * 3)) return false;
    for (int i = 0; i < count; ++i) {
        table.colors[i] = 0xFF000000u | (uint32_t(rgb[i * 3]) << 16) | (uint32_t(rgb[i * 3 + 1]) << 8) | rgb[i * 3 + 2];
    }
    table.count = count;
    return true;
}

int ReadByte(Source& source) {
    uint8_t b;
    return source.ReadAll(&b, 1) ? b : -1;
}

// Skips data sub-blocks; keeps the last one in last/lastLength. False when
// the file ends first.
bool ReadSubBlocks(Source& source, uint8_t* last, int* lastLength) {
    for (;;) {
        const int length = ReadByte(source);
        if (length < 0) return false;
        if (length == 0) return true;
        uint8_t block[255];
        if (!source.ReadAll(block, static_cast<size_t>(length))) return false;
        if (last != nullptr) {
            std::memcpy(last, block, static_cast<size_t>(length));
            *lastLength = length;
        }
    }
}

// Codes of the LZW stream, least significant bit first, across the data
// sub-blocks.
class CodeReader {
public:
    explicit CodeReader(Source& source) : mSource(source) {}

    // The next code of `bits` bits, or -1 when the data has run out.
    int Next(int bits) {
        while (mBitCount < bits) {
            if (mBlockPos == mBlockLength) {
                if (mEnded) return -1;
                const int length = ReadByte(mSource);
                if (length <= 0 || !mSource.ReadAll(mBlock, static_cast<size_t>(length))) {
                    mEnded = true;
                    return -1;
                }
                mBlockLength = length;
                mBlockPos = 0;
            }
            mBits |= uint32_t(mBlock[mBlockPos++]) << mBitCount;
            mBitCount += 8;
        }
        const int code = static_cast<int>(mBits & ((1u << bits) - 1));
        mBits >>= bits;
        mBitCount -= bits;
        return code;
    }

private:
    Source& mSource;
    uint8_t mBlock[255];
    int mBlockLength = 0;
    int mBlockPos = 0;
    bool mEnded = false;
    uint32_t mBits = 0;
    int mBitCount = 0;
};

// Places decoded indices into the picture in row order, sequential or in the
// four interlace passes (rows 0, 8, ...; 4, 12, ...; 2, 6, ...; 1, 3, ...).
class PixelWriter {
public:
    PixelWriter(Image& image, const ColorTable& table, int transparent, bool interlaced)
            : mImage(image), mTable(table), mTransparent(transparent), mInterlaced(interlaced) {}

    bool Done() const { return mDone; }

    void Put(int index) {
        if (mDone) return;
        uint32_t color = 0;
        if (index != mTransparent && index < mTable.count) color = mTable.colors[index];
        mImage.mBits[int64_t(mRow) * mImage.mWidth + mX] = color;
        if (++mX < mImage.mWidth) return;
        mX = 0;
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        mRow += mInterlaced ? kStep[mPass] : 1;
        while (mRow >= mImage.mHeight) {
            if (!mInterlaced || ++mPass >= 4) {
                mDone = true;
                return;
            }
            mRow = kStart[mPass];
        }
    }

private:
    Image& mImage;
    const ColorTable& mTable;
    int mTransparent;
    bool mInterlaced;
    int mX = 0;
    int mRow = 0;
    int mPass = 0;
    bool mDone = false;
};

void DecodeLZW(Source& source, int minCodeSize, PixelWriter& writer) {
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t stack[kMaxCodes + 1];
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = static_cast<uint8_t>(i);
    }
    int next = clear + 2;
    int codeSize = minCodeSize + 1;
    int previous = -1;
    int first = 0;  // first byte of the previous code's string
    CodeReader reader(source);

    while (!writer.Done()) {
        const int code = reader.Next(codeSize);
        if (code < 0 || code > next || code == end) return;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            // The first code after a clear must be a single index.
            if (code >= clear) return;
            writer.Put(code);
            previous = code;
            first = code;
            continue;
        }
        int top = 0;
        int current = code;
        if (code == next) {
            stack[top++] = static_cast<uint8_t>(first);
            current = previous;
        }
        while (current >= clear) {
            if (top >= kMaxCodes) return;
            stack[top++] = suffix[current];
            current = prefix[current];
        }
        stack[top++] = static_cast<uint8_t>(current);
        first = current;
        if (next >= kMaxCodes) return;
        prefix[next] = static_cast<uint16_t>(previous);
        suffix[next] = static_cast<uint8_t>(first);
        ++next;
        if ((next & (next - 1)) == 0 && next < kMaxCodes) ++codeSize;
        previous = code;
        while (top > 0 && !writer.Done()) writer.Put(stack[--top]);
    }
}

}  // namespace

Image* ReadGIF(Source& source) {
    uint8_t signature[6];
    if (!source.ReadAll(signature, sizeof signature)) return nullptr;
    if (std::memcmp(signature, "GIF87", 5) != 0 && std::memcmp(signature, "GIF89", 5) != 0) return nullptr;

    uint8_t screen[7];
    if (!source.ReadAll(screen, sizeof screen)) return nullptr;
    ColorTable table;
    if ((screen[4] & 0x80) != 0 && !ReadColorTable(source, screen[4], table)) return nullptr;

    int transparent = -1;
    for (;;) {
        const int block = ReadByte(source);
        if (block < 0 || block == ';') return nullptr;
        if (block == ',') break;
        if (block != '!') continue;
        const int label = ReadByte(source);
        if (label < 0) return nullptr;
        uint8_t last[255];
        int lastLength = 0;
        if (!ReadSubBlocks(source, last, &lastLength)) return nullptr;
        if (label == 0xF9 && lastLength >= 4 && (last[0] & 1) != 0) transparent = last[3];
    }

    uint8_t descriptor[9];
    if (!source.ReadAll(descriptor, sizeof descriptor)) return nullptr;
    const int width = descriptor[4] | (descriptor[5] << 8);
    const int height = descriptor[6] | (descriptor[7] << 8);
    const int flags = descriptor[8];
    if (width == 0 || height == 0) return nullptr;
    if ((flags & 0x80) != 0 && !ReadColorTable(source, flags, table)) return nullptr;

    const int minCodeSize = ReadByte(source);
    // Code sizes beyond 11 bits leave no room in the 12-bit code table.
    if (minCodeSize < 1 || minCodeSize > 11) return nullptr;

    std::unique_ptr<Image> image(NewImage(width, height));
    if (image == nullptr) return nullptr;
    std::memset(image->mBits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    PixelWriter writer(*image, table, transparent, (flags & 0x40) != 0);
    DecodeLZW(source, minCodeSize, writer);
    return image.release();
}

}  // namespace detail
}  // namespace ImageLib

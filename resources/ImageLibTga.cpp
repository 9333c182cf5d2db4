// TGA reader: only uncompressed 32-bit true-colour pictures stored top row
// first with 8 alpha bits (descriptor byte 0x28), as the content tools write
// them.
//
// Header, 18 bytes, integers little-endian:
//   0 id length, 1 colour-map type, 2 image type, 3 colour-map origin (2),
//   5 colour-map length (2), 7 colour-map entry size, 8 x origin (2),
//   10 y origin (2), 12 width (2), 14 height (2), 16 pixel depth,
//   17 descriptor.
// The pixels follow the header directly as blue, green, red, alpha bytes; an
// identification field or colour map is not skipped.

#include <memory>

#include "resources/ImageLibSource.h"

namespace ImageLib {
namespace detail {

Image* ReadTGA(Source& source) {
    uint8_t header[18];
    if (!source.ReadAll(header, sizeof header)) return nullptr;
    const int width = header[12] | (header[13] << 8);
    const int height = header[14] | (header[15] << 8);
    const int depth = header[16];
    const int descriptor = header[17];
    if (depth != 32 || descriptor != 0x28) return nullptr;

    // A header that promises more pixels than the file holds is refused
    // before the picture is allocated.
    const int64_t size = source.Size();
    const int64_t needed = int64_t(width) * height * 4;
    if (size >= 0 && size - 18 < needed) return nullptr;

    std::unique_ptr<Image> image(NewImage(width, height));
    if (image == nullptr) return nullptr;
    std::unique_ptr<uint8_t[]> row(new uint8_t[static_cast<size_t>(width) * 4]);
    uint32_t* out = image->mBits;
    for (int y = 0; y < height; ++y) {
        if (!source.ReadAll(row.get(), static_cast<size_t>(width) * 4)) return nullptr;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &row[static_cast<size_t>(x) * 4];
            *out++ = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
        }
    }
    return image.release();
}

}  // namespace detail
}  // namespace ImageLib

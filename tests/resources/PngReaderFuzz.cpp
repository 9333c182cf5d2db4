// Fuzz target for the PNG reader. The first byte chooses how the rest is
// used:
//   even: the bytes are a PNG file as they come (signature, chunk and CRC
//         checking, truncation, corrupt streams);
//   odd:  the bytes describe a picture (size, colour type, bit depth,
//         interlacing, palette and transparency, samples), which libpng
//         encodes into a valid file first, so that every expansion path of
//         the reader is reached despite the CRCs.
// The reader must give null or a picture of the file's size, and never crash,
// leak or touch memory outside its buffers.

#include <png.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/DebugOutput.h"
#include "resources/ImageLib.h"

namespace {

void Check(const uint8_t* data, size_t size, int width, int height) {
    std::unique_ptr<ImageLib::Image> image(ImageLib::ReadPNGImage(data, size));
    if (image == nullptr) return;
    if (image->mWidth <= 0 || image->mHeight <= 0 || image->mBits == nullptr) std::abort();
    if (width > 0 && (image->mWidth != width || image->mHeight != height)) std::abort();
    // The first and the last pixel: a picture shorter than its size shows here.
    const int64_t count = int64_t(image->mWidth) * image->mHeight;
    volatile uint32_t sink = image->mBits[0] ^ image->mBits[count - 1];
    (void)sink;
}

void Append(png_structp png, png_bytep data, png_size_t length) {
    std::vector<uint8_t>* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

void Quiet(png_structp, png_const_charp) {}

struct Encoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Encoder() { png_destroy_write_struct(&png, &info); }
};

// Encodes a picture described by the bytes; empty when they are too few.
std::vector<uint8_t> Encode(const uint8_t* data, size_t size, int* width, int* height) {
    std::vector<uint8_t> out;
    if (size < 6) return out;
    static const int kTypes[5] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_PALETTE,
                                  PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB_ALPHA};
    static const int kGreyDepths[5] = {1, 2, 4, 8, 16};
    static const int kPaletteDepths[4] = {1, 2, 4, 8};
    *width = 1 + data[0] % 40;
    *height = 1 + data[1] % 40;
    const int type = kTypes[data[2] % 5];
    int depth = 8;
    if (type == PNG_COLOR_TYPE_GRAY)
        depth = kGreyDepths[data[3] % 5];
    else if (type == PNG_COLOR_TYPE_PALETTE)
        depth = kPaletteDepths[data[3] % 4];
    else
        depth = (data[3] & 1) ? 16 : 8;
    const bool interlaced = (data[4] & 1) != 0;
    const int paletteSize = 1 + data[5] % 256 % (1 << (depth > 8 ? 8 : depth));
    data += 6;
    size -= 6;

    Encoder e;
    e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Quiet, Quiet);
    if (e.png == nullptr) return out;
    e.info = png_create_info_struct(e.png);
    static thread_local std::vector<png_bytep> rows;
    static thread_local std::vector<uint8_t> samples;
    if (e.info == nullptr || setjmp(png_jmpbuf(e.png))) {
        out.clear();
        return out;
    }
    png_set_write_fn(e.png, &out, Append, Flush);
    png_set_IHDR(e.png, e.info, static_cast<png_uint_32>(*width), static_cast<png_uint_32>(*height), depth, type,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    size_t at = 0;
    auto next = [&]() -> uint8_t { return size == 0 ? 0 : data[at++ % size]; };
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[256];
        png_byte alpha[256];
        for (int i = 0; i < paletteSize; ++i) {
            palette[i].red = next();
            palette[i].green = next();
            palette[i].blue = next();
            alpha[i] = next();
        }
        png_set_PLTE(e.png, e.info, palette, paletteSize);
        png_set_tRNS(e.png, e.info, alpha, paletteSize, nullptr);
    }
    png_write_info(e.png, e.info);
    const size_t rowBytes = png_get_rowbytes(e.png, e.info);
    samples.resize(rowBytes * static_cast<size_t>(*height));
    for (uint8_t& b : samples) b = next();
    if (type == PNG_COLOR_TYPE_PALETTE) {
        // Indices beyond the palette are not valid PNG: keep them inside.
        const int perByte = 8 / depth;
        for (size_t y = 0; y < static_cast<size_t>(*height); ++y) {
            for (int x = 0; x < *width; ++x) {
                uint8_t& byte = samples[y * rowBytes + static_cast<size_t>(x / perByte)];
                const int shift = 8 - depth * (x % perByte + 1);
                const int mask = ((1 << depth) - 1) << shift;
                const int index = ((byte & mask) >> shift) % paletteSize;
                byte = static_cast<uint8_t>((byte & ~mask) | (index << shift));
            }
        }
    }
    rows.resize(static_cast<size_t>(*height));
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = samples.data() + y * rowBytes;
    png_write_image(e.png, rows.data());
    png_write_end(e.png, nullptr);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader logs every broken file; the fuzzer's output stays readable without them.
    static const bool quiet = [] {
        plat::SetDebugSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    if (size == 0) return 0;
    if ((data[0] & 1) == 0) {
        Check(data + 1, size - 1, 0, 0);
        return 0;
    }
    int width = 0, height = 0;
    const std::vector<uint8_t> file = Encode(data + 1, size - 1, &width, &height);
    if (file.empty()) return 0;
    Check(file.data(), file.size(), width, height);
    return 0;
}

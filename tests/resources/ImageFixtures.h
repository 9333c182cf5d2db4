#pragma once

// Image files made by the tests themselves: small encoders for every format
// the image readers take, and a temporary folder that cleans up after itself.

#include "tests/platform/TempDir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

using Bytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.
using velmtest::TempDir;

bool WriteBytes(const std::string& path, const Bytes& bytes);

// 32-bit TGA: 18-byte header with the given descriptor byte, then the
// pixels (0xAARRGGBB words) as blue, green, red, alpha bytes.
Bytes MakeTga(int width, int height, const std::vector<uint32_t>& pixels, uint8_t descriptor = 0x28);

struct GifOptions {
    int minCodeSize = 2;
    std::vector<uint32_t> palette;  // RGB entries; the table holds 2^n >= size entries
    int transparentIndex = -1;      // graphic control extension when >= 0
    bool interlaced = false;
    bool localTable = false;  // the table as a local one instead of the global one
    int extraCodes = 0;       // literal codes appended after the picture's indices
    bool trailer = true;
};
// One image of width x height; indices are given in the file's row order
// (for interlaced files: the rows of pass 1, then pass 2, ...). The LZW data
// is made of literal codes only, with a clear code before the table would
// grow, so every code has minCodeSize + 1 bits.
Bytes MakeGif(int width, int height, const std::vector<uint8_t>& indices, const GifOptions& options);

// PNG through libpng. colorType/bitDepth as libpng's; rows are raw sample
// bytes as the format holds them (16-bit samples big-endian).
struct PngOptions {
    int colorType = 6;  // RGBA
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint32_t> palette;      // RGB entries, for colour type 3
    std::vector<uint8_t> paletteAlpha;  // tRNS for colour type 3
};
Bytes MakePng(int width, int height, const std::vector<std::vector<uint8_t>>& rows, const PngOptions& options);

// Baseline JPEG: 1 (grey) or 3 (RGB) components, samples row after row.
Bytes MakeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples, int quality);

// Lossless JPEG 2000 of RGB pixels (0xRRGGBB words) through OpenJPEG's
// encoder: a bare codestream (jp2 false) or a JP2 file.
bool WriteJpeg2000(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels, bool jp2);

}  // namespace fixtures

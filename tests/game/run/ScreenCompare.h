#pragma once

// Pictures of the game's screen for the golden comparisons: read and written as PNG through
// the game's own image library, halved for storage, compared pixel by pixel with a tolerance
// per colour channel and an allowed share of pixels beyond it, and a difference picture for
// a failure.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "resources/ImageLib.h"

namespace goldentest {

// 0xAARRGGBB pixels, rows top down; only the colour channels are compared.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Empty() const { return width <= 0 || height <= 0; }
};

inline int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// The largest difference of the three colour channels of two pixels.
inline int ChannelDistance(uint32_t a, uint32_t b) {
    int largest = 0;
    for (int shift : {0, 8, 16}) largest = std::max(largest, std::abs(Channel(a, shift) - Channel(b, shift)));
    return largest;
}

// Each 2 x 2 block averaged (rounded) into one opaque pixel; an odd last row or column is
// dropped. What the goldens are stored as.
inline Picture Halved(const Picture& full) {
    Picture half;
    half.width = full.width / 2;
    half.height = full.height / 2;
    half.pixels.resize(static_cast<size_t>(half.width) * half.height);
    for (int y = 0; y < half.height; ++y) {
        for (int x = 0; x < half.width; ++x) {
            const uint32_t block[4] = {full.At(2 * x, 2 * y), full.At(2 * x + 1, 2 * y), full.At(2 * x, 2 * y + 1),
                                       full.At(2 * x + 1, 2 * y + 1)};
            uint32_t out = 0xFF000000u;
            for (int shift : {0, 8, 16}) {
                int sum = 0;
                for (uint32_t pixel : block) sum += Channel(pixel, shift);
                out |= static_cast<uint32_t>((sum + 2) / 4) << shift;
            }
            half.pixels[static_cast<size_t>(y) * half.width + x] = out;
        }
    }
    return half;
}

inline bool ReadPng(const std::string& path, Picture* picture) {
    std::unique_ptr<ImageLib::Image> image(ImageLib::GetPNGImage(path));
    if (image == nullptr || image->mBits == nullptr || image->mWidth <= 0 || image->mHeight <= 0) return false;
    picture->width = image->mWidth;
    picture->height = image->mHeight;
    picture->pixels.assign(image->mBits, image->mBits + static_cast<size_t>(image->mWidth) * image->mHeight);
    return true;
}

inline bool WritePng(const std::string& path, const Picture& picture) {
    // The library's picture frees its pixels; this one lends them.
    struct Lent : ImageLib::Image {
        explicit Lent(const Picture& from) {
            mWidth = from.width;
            mHeight = from.height;
            mBits = const_cast<uint32_t*>(from.pixels.data());
        }
        ~Lent() override { mBits = nullptr; }
    };
    const Lent image(picture);
    return ImageLib::WritePNGImage(path, &image);
}

// What a comparison found.
struct Comparison {
    bool sameSize = false;
    size_t total = 0;      // pixels compared
    size_t differing = 0;  // pixels beyond the tolerance
    int largest = 0;       // largest channel difference seen

    double Share() const { return total == 0 ? 1.0 : static_cast<double>(differing) / static_cast<double>(total); }
    std::string Describe() const {
        if (!sameSize) return "the pictures differ in size";
        return std::to_string(differing) + " of " + std::to_string(total) + " pixels differ beyond the tolerance (" +
               std::to_string(Share() * 100.0) + "%), largest channel difference " + std::to_string(largest);
    }
};

// How far a picture may be from its golden: a pixel counts as differing when a colour channel
// is more than perChannel away, and the picture passes while at most maxShare of its pixels
// differ.
struct Tolerance {
    int perChannel = 0;
    double maxShare = 0.0;
};

inline Comparison Compare(const Picture& golden, const Picture& actual, int perChannel) {
    Comparison result;
    result.sameSize = golden.width == actual.width && golden.height == actual.height && !golden.Empty();
    if (!result.sameSize) return result;
    result.total = golden.pixels.size();
    for (size_t i = 0; i < result.total; ++i) {
        const int distance = ChannelDistance(golden.pixels[i], actual.pixels[i]);
        result.largest = std::max(result.largest, distance);
        if (distance > perChannel) ++result.differing;
    }
    return result;
}

inline bool Passes(const Comparison& comparison, const Tolerance& tolerance) {
    return comparison.sameSize && comparison.Share() <= tolerance.maxShare;
}

// The golden dimmed to a third, with the pixels beyond the tolerance in full red.
inline Picture DiffPicture(const Picture& golden, const Picture& actual, int perChannel) {
    Picture diff = golden;
    if (golden.width != actual.width || golden.height != actual.height) return diff;
    for (size_t i = 0; i < diff.pixels.size(); ++i) {
        if (ChannelDistance(golden.pixels[i], actual.pixels[i]) > perChannel) {
            diff.pixels[i] = 0xFFFF0000u;
            continue;
        }
        uint32_t dim = 0xFF000000u;
        for (int shift : {0, 8, 16}) dim |= static_cast<uint32_t>(Channel(golden.pixels[i], shift) / 3) << shift;
        diff.pixels[i] = dim;
    }
    return diff;
}

}  // namespace goldentest

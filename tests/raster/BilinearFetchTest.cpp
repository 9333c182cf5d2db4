// The lane form of the bilinear fetch against the plain one, bit for bit: colour and filtered
// alpha over random textures (alphas weighted to 0, 255 and the values between), sample
// points inside, on the last row and column, and outside on every side, at every kind of
// fraction.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "raster/SpanFiller.h"

namespace {

using Velm::RasterTexture;

uint32_t RandomTexel(std::mt19937& rng) {
    static const uint32_t kAlphas[] = {0, 255, 255, 1, 128, 254};
    const uint32_t pick = rng() % 8;
    const uint32_t alpha = pick < 6 ? kAlphas[pick] : rng() & 0xff;
    return (alpha << 24) | (rng() & 0xffffff);
}

int32_t RandomFraction(std::mt19937& rng) {
    static const int32_t kEdges[] = {0, 1, 0x7fff, 0x8000, 0xfffe, 0xffff};
    return rng() % 2 == 0 ? kEdges[rng() % 6] : static_cast<int32_t>(rng() & 0xffff);
}

TEST(BilinearFetch, LaneFormMatchesPlainForm) {
    std::mt19937 rng(31);
    for (int round = 0; round < 200; ++round) {
        const int width = 1 + static_cast<int>(rng() % 9), height = 1 + static_cast<int>(rng() % 7);
        std::vector<uint32_t> texels(static_cast<size_t>(width) * height);
        for (uint32_t& t : texels) t = RandomTexel(rng);
        RasterTexture texture{};
        texture.pixels = texels.data();
        texture.width = width;
        texture.height = height;
        texture.texelCount = static_cast<uint32_t>(texels.size());
        for (int sample = 0; sample < 200; ++sample) {
            const int32_t x = static_cast<int32_t>(rng() % static_cast<uint32_t>(width + 4)) - 2;
            const int32_t y = static_cast<int32_t>(rng() % static_cast<uint32_t>(height + 4)) - 2;
            const int32_t u = static_cast<int32_t>(static_cast<uint32_t>(x) << 16) + RandomFraction(rng);
            const int32_t v = static_cast<int32_t>(static_cast<uint32_t>(y) << 16) + RandomFraction(rng);
            uint32_t plainAlpha = 0, laneAlpha = 0;
            const uint32_t plain = Velm::Raster::FetchBilinear(texture, u, v, plainAlpha);
            const uint32_t lanes = Velm::Raster::FetchBilinearLanes(texture, u, v, laneAlpha);
            ASSERT_EQ(lanes, plain) << width << "x" << height << " at " << u << "," << v;
            ASSERT_EQ(laneAlpha, plainAlpha) << width << "x" << height << " at " << u << "," << v;
        }
    }
}

}  // namespace

// Worked pixel values of every filler family, drawn with uniform-vertex
// triangles so that every covered pixel sees the same vertex values.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "raster/RasterTypes.h"
#include "tests/raster/RasterTestUtil.h"

namespace {

using namespace RasterTest;
using Velm::RasterTint;

constexpr unsigned T = Velm::kRasterTextured;
constexpr unsigned B = Velm::kRasterBlended;
constexpr unsigned V = Velm::kRasterVertexColors;
constexpr unsigned N = Velm::kRasterTinted;
constexpr unsigned L = Velm::kRasterBilinear;
constexpr uint32_t F8888 = Velm::kRasterFormat8888;
constexpr uint32_t F888 = Velm::kRasterFormat888;
constexpr uint32_t F565 = Velm::kRasterFormat565;
constexpr uint32_t F555 = Velm::kRasterFormat555;

constexpr RasterTint kNoTint{255, 255, 255, 255};
constexpr uint32_t kWhite = 0xffffffffu;
constexpr uint32_t kSame = 0x5a5a5a5au;  // second texel column: same as the first
const uint32_t kAll555 = 0xffffu;

struct Fixture {
    const char* why;
    uint32_t format;
    unsigned flags;
    uint32_t texel;   // texture 2 x 2; column 0 holds texel
    uint32_t texel1;  // column 1 (kSame: texel)
    double u, v;      // sample point in texels at every vertex
    uint32_t vertexColor;
    RasterTint tint;
    uint32_t dest;
    uint32_t expected;
};

// Texel centres: 0.5 (nearest, texel 0) and 1.5 (bilinear, texel (1, 1)
// alone); 1.0 is midway between four texels.
constexpr double C = 1.5;
constexpr double H = 0.5;
constexpr double M = 1.0;

// clang-format off
const Fixture kFixtures[] = {
        // Gouraud fillers.
        {"gouraud 8888 alpha 128 over clear", F8888, V, 0, kSame, 0, 0, 0x80c8c8c8, kNoTint, 0, Argb(127, 200, 200, 200)},
        {"gouraud 8888 alpha 100 over clear", F8888, V, 0, kSame, 0, 0, 0x64c8c8c8, kNoTint, 0, Argb(99, 199, 199, 199)},
        {"gouraud 8888 alpha 128 over opaque", F8888, V, 0, kSame, 0, 0, 0x80c8c8c8, kNoTint, Argb(255, 16, 32, 48),
         Argb(255, 107, 115, 123)},
        {"gouraud 888 alpha 128", F888, V, 0, kSame, 0, 0, 0x80c8c8c8, kNoTint, Argb(0, 16, 32, 48),
         Argb(255, 107, 115, 123)},
        {"gouraud 565 alpha 128", F565, V, 0, kSame, 0, 0, 0x80c8c8c8, kNoTint, 0, Px565(12, 25, 12)},
        {"gouraud 555 alpha 128 drops bit 15", F555, V, 0, kSame, 0, 0, 0x80c8c8c8, kNoTint, Px555(0, 0, 0, true),
         Px555(12, 12, 12)},
        {"gouraud 8888 packed red at alpha 128", F8888, V, 0, kSame, 0, 0, 0x80ff0000, kNoTint, 0, Argb(127, 254, 0, 0)},
        {"gouraud blended and bilinear flags change nothing", F8888, V | B | L, 0, kSame, 0, 0, 0x80c8c8c8, kNoTint, 0,
         Argb(127, 200, 200, 200)},
        {"gouraud tint 255 keeps 255.0 opaque", F8888, V | N, 0, kSame, 0, 0, kWhite, {255, 255, 255, 255}, 0,
         Argb(255, 254, 254, 254)},
        {"gouraud alpha 8 is skipped", F8888, V, 0, kSame, 0, 0, 0x08ffffff, kNoTint, Argb(1, 2, 3, 4), Argb(1, 2, 3, 4)},

        // Textured, nearest, opaque: the texel's alpha is ignored.
        {"tex 8888 ignores texel alpha", F8888, T, Argb(0, 18, 52, 86), kSame, H, H, 0, kNoTint, 0, Argb(255, 18, 52, 86)},
        {"tex 888 ignores texel alpha", F888, T, Argb(0, 18, 52, 86), kSame, H, H, 0, kNoTint, 0, Argb(255, 18, 52, 86)},
        {"tex 565", F565, T, Argb(0, 18, 52, 86), kSame, H, H, 0, kNoTint, 0, Px565(2, 13, 10)},
        {"tex 555", F555, T, Argb(0, 18, 52, 86), kSame, H, H, 0, kNoTint, 0, Px555(2, 6, 10)},
        {"tex 565 white", F565, T, kWhite, kSame, H, H, 0, kNoTint, 0, 0xffff},
        {"tex 555 white clears bit 15", F555, T, kWhite, kSame, H, H, 0, kNoTint, kAll555, 0x7fff},
        {"tex tint colour", F8888, T | N, Argb(255, 128, 128, 128), kSame, H, H, 0, {255, 128, 255, 0}, 0,
         Argb(255, 64, 127, 0)},
        {"tex tint alpha 241 is opaque", F8888, T | N, kWhite, kSame, H, H, 0, {241, 255, 255, 255}, 0,
         Argb(255, 254, 254, 254)},
        {"tex tint alpha 240 blends", F8888, T | N, kWhite, kSame, H, H, 0, {240, 255, 255, 255}, Argb(255, 0, 0, 0),
         Argb(255, 237, 237, 237)},
        {"tex tint 129 over clear", F8888, T | N, kWhite, kSame, H, H, 0, {129, 201, 201, 201}, 0,
         Argb(127, 200, 200, 200)},
        {"tex tint 129 over opaque", F8888, T | N, kWhite, kSame, H, H, 0, {129, 201, 201, 201}, Argb(255, 16, 32, 48),
         Argb(255, 107, 115, 123)},
        {"tex tint 129 888", F888, T | N, kWhite, kSame, H, H, 0, {129, 201, 201, 201}, Argb(0, 16, 32, 48),
         Argb(255, 107, 115, 123)},
        {"tex tint 129 565", F565, T | N, kWhite, kSame, H, H, 0, {129, 201, 201, 201}, 0, Px565(12, 25, 12)},
        {"tex tint 129 555", F555, T | N, kWhite, kSame, H, H, 0, {129, 201, 201, 201}, Px555(0, 0, 0, true),
         Px555(12, 12, 12)},
        {"tex tint alpha 0 8888", F8888, T | N, kWhite, kSame, H, H, 0, {0, 255, 255, 255}, Argb(255, 100, 100, 100),
         Argb(254, 99, 99, 99)},
        {"tex tint alpha 0 888", F888, T | N, kWhite, kSame, H, H, 0, {0, 255, 255, 255}, Argb(0, 100, 100, 100),
         Argb(255, 99, 99, 99)},
        {"tex tint alpha 0 565", F565, T | N, kWhite, kSame, H, H, 0, {0, 255, 255, 255}, Px565(31, 63, 31),
         Px565(30, 61, 30)},
        {"tex tint alpha 0 555", F555, T | N, kWhite, kSame, H, H, 0, {0, 255, 255, 255}, Px555(31, 31, 31),
         Px555(30, 30, 30)},
        {"tex tint alpha 0 over nothing leaves the pixel", F8888, T | N, kWhite, kSame, H, H, 0, {0, 255, 255, 255},
         Argb(0, 10, 20, 30), Argb(0, 10, 20, 30)},

        // Bilinear, unblended.
        {"bilinear 8888 centre", F8888, T | L, kWhite, kSame, C, C, 0, kNoTint, 0, Argb(255, 253, 253, 253)},
        {"bilinear 8888 midway", F8888, T | L, kWhite, kSame, M, M, 0, kNoTint, 0, Argb(255, 251, 251, 251)},
        {"bilinear 565 centre", F565, T | L, kWhite, kSame, C, C, 0, kNoTint, 0, Px565(31, 63, 31)},
        {"bilinear 565 midway", F565, T | L, kWhite, kSame, M, M, 0, kNoTint, 0, Px565(31, 62, 31)},
        {"bilinear 555 centre", F555, T | L, kWhite, kSame, C, C, 0, kNoTint, kAll555, Px555(31, 31, 31)},
        {"bilinear 555 midway", F555, T | L, kWhite, kSame, M, M, 0, kNoTint, kAll555, Px555(31, 31, 31)},
        {"bilinear transparent texels filter to black", F8888, T | L, 0x00ffffff, kSame, C, C, 0, kNoTint, kWhite,
         Argb(255, 0, 0, 0)},
        {"bilinear transparent texels 565", F565, T | L, 0x00ffffff, kSame, C, C, 0, kNoTint, 0xffff, 0},
        {"bilinear tint 241 opaque", F8888, T | N | L, kWhite, kSame, C, C, 0, {241, 255, 255, 255}, 0,
         Argb(255, 237, 237, 237)},
        {"bilinear tint 240 over black", F8888, T | N | L, kWhite, kSame, C, C, 0, {240, 255, 255, 255},
         Argb(255, 0, 0, 0), Argb(255, 236, 236, 236)},
        {"bilinear tint 240 over white", F8888, T | N | L, kWhite, kSame, C, C, 0, {240, 255, 255, 255}, kWhite,
         Argb(255, 252, 252, 252)},
        {"bilinear tint 240 over clear", F8888, T | N | L, kWhite, kSame, C, C, 0, {240, 255, 255, 255}, 0,
         Argb(238, 252, 252, 252)},
        {"bilinear tint 128 over clear", F8888, T | N | L, kWhite, kSame, C, C, 0, {128, 255, 255, 255}, 0,
         Argb(126, 253, 253, 253)},
        {"bilinear tint 128 over black", F8888, T | N | L, kWhite, kSame, C, C, 0, {128, 255, 255, 255},
         Argb(255, 0, 0, 0), Argb(255, 126, 126, 126)},
        {"bilinear tint 255", F8888, T | N | L, kWhite, kSame, C, C, 0, {255, 255, 255, 255}, 0,
         Argb(255, 251, 251, 251)},
        {"bilinear tint 240 888", F888, T | N | L, kWhite, kSame, C, C, 0, {240, 255, 255, 255}, kWhite,
         Argb(255, 251, 251, 251)},
        {"bilinear tint 0 888", F888, T | N | L, kWhite, kSame, C, C, 0, {0, 255, 255, 255}, Argb(255, 16, 32, 48),
         Argb(255, 15, 31, 47)},
        {"bilinear tint 240 565", F565, T | N | L, kWhite, kSame, C, C, 0, {240, 255, 255, 255}, Px565(31, 63, 31),
         Px565(30, 62, 30)},
        {"bilinear tint 241 565", F565, T | N | L, kWhite, kSame, C, C, 0, {241, 255, 255, 255}, 0, Px565(29, 59, 29)},
        {"bilinear tint 0 565", F565, T | N | L, kWhite, kSame, C, C, 0, {0, 255, 255, 255}, Px565(31, 63, 31),
         Px565(30, 61, 30)},
        {"bilinear tint 240 555", F555, T | N | L, kWhite, kSame, C, C, 0, {240, 255, 255, 255}, kAll555,
         Px555(30, 30, 30)},
        {"bilinear tint 241 555", F555, T | N | L, kWhite, kSame, C, C, 0, {241, 255, 255, 255}, 0, Px555(29, 29, 29)},
        {"bilinear tint 50 over clear saturates at 255", F8888, T | N | L, kWhite, kSame, C, C, 0, {50, 255, 255, 255},
         0, Argb(48, 255, 255, 255)},

        // Vertex-coloured, nearest.
        {"vcolor white vertices", F8888, T | V, kWhite, kSame, H, H, kWhite, kNoTint, 0, Argb(255, 254, 254, 254)},
        {"vcolor halves 128", F8888, T | V, Argb(255, 128, 128, 128), kSame, H, H, kWhite, kNoTint, 0,
         Argb(255, 127, 127, 127)},
        {"vcolor ignores texel alpha", F8888, T | V, 0x00ffffff, kSame, H, H, kWhite, kNoTint, 0,
         Argb(255, 254, 254, 254)},
        {"vcolor alpha 241 opaque", F8888, T | V, kWhite, kSame, H, H, 0xf1ffffff, kNoTint, 0, Argb(255, 254, 254, 254)},
        {"vcolor alpha 240 blends", F8888, T | V, kWhite, kSame, H, H, 0xf0ffffff, kNoTint, Argb(255, 0, 0, 0),
         Argb(255, 237, 237, 237)},
        {"vcolor alpha 0 888", F888, T | V, kWhite, kSame, H, H, 0x00ffffff, kNoTint, Argb(0, 255, 1, 128),
         Argb(255, 254, 0, 127)},
        {"vcolor alpha 0 565", F565, T | V, kWhite, kSame, H, H, 0x00ffffff, kNoTint, Px565(31, 63, 31),
         Px565(30, 61, 30)},
        {"vcolor alpha 0 8888 opaque", F8888, T | V, kWhite, kSame, H, H, 0x00ffffff, kNoTint, Argb(255, 255, 128, 0),
         Argb(254, 254, 127, 0)},
        {"vcolor alpha 0 over alpha 1", F8888, T | V, kWhite, kSame, H, H, 0x00ffffff, kNoTint, Argb(1, 200, 200, 200),
         0},
        {"vcolor alpha 2 over clear", F8888, T | V, kWhite, kSame, H, H, 0x02ffffff, kNoTint, Argb(0, 50, 50, 50), 0},
        {"vcolor alpha 0 over nothing leaves the pixel", F8888, T | V, kWhite, kSame, H, H, 0x00ffffff, kNoTint,
         Argb(0, 10, 20, 30), Argb(0, 10, 20, 30)},
        {"vcolor tinted 128", F8888, T | V | N, kWhite, kSame, H, H, kWhite, {128, 255, 255, 255}, Argb(255, 0, 0, 0),
         Argb(255, 61, 61, 61)},

        // Vertex-coloured, bilinear.
        {"vcolor bilinear white", F8888, T | V | L, kWhite, kSame, C, C, kWhite, kNoTint, 0, Argb(255, 251, 251, 251)},
        {"vcolor bilinear alpha 240", F8888, T | V | L, kWhite, kSame, C, C, 0xf0ffffff, kNoTint, Argb(255, 0, 0, 0),
         Argb(255, 236, 236, 236)},
        {"vcolor bilinear alpha 241", F8888, T | V | L, kWhite, kSame, C, C, 0xf1ffffff, kNoTint, 0,
         Argb(255, 237, 237, 237)},
        {"vcolor bilinear 128 over clear", F8888, T | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, 0,
         Argb(126, 253, 253, 253)},
        {"vcolor bilinear 128 over black", F8888, T | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint,
         Argb(255, 0, 0, 0), Argb(255, 126, 126, 126)},
        {"vcolor bilinear 128 over half", F8888, T | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint,
         Argb(128, 0, 0, 0), Argb(191, 168, 168, 168)},
        {"vcolor bilinear 0", F8888, T | V | L, kWhite, kSame, C, C, 0x00ffffff, kNoTint, Argb(255, 100, 100, 100),
         Argb(254, 99, 99, 99)},
        {"vcolor bilinear 888 128 over white", F888, T | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, kWhite,
         Argb(255, 253, 253, 253)},
        {"vcolor bilinear 888 128 over black", F888, T | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint,
         Argb(255, 0, 0, 0), Argb(255, 126, 126, 126)},
        {"vcolor bilinear 888 0", F888, T | V | L, kWhite, kSame, C, C, 0x00ffffff, kNoTint, Argb(7, 100, 100, 100),
         Argb(255, 99, 99, 99)},
        {"vcolor bilinear 888 241", F888, T | V | L, kWhite, kSame, C, C, 0xf1ffffff, kNoTint, 0,
         Argb(255, 237, 237, 237)},
        {"vcolor bilinear 565 255", F565, T | V | L, kWhite, kSame, C, C, kWhite, kNoTint, 0, Px565(31, 62, 31)},
        {"vcolor bilinear 565 128 over white", F565, T | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint,
         Px565(31, 63, 31), Px565(30, 62, 30)},
        {"vcolor bilinear 565 128 over black", F565, T | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, 0,
         Px565(15, 31, 15)},
        {"vcolor bilinear 565 0", F565, T | V | L, kWhite, kSame, C, C, 0x00ffffff, kNoTint, Px565(31, 63, 31),
         Px565(30, 61, 30)},
        {"vcolor bilinear 555 255", F555, T | V | L, kWhite, kSame, C, C, kWhite, kNoTint, 0, Px555(31, 31, 31)},
        {"vcolor bilinear 555 128", F555, T | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, kAll555,
         Px555(30, 30, 30)},
        {"vcolor bilinear 555 0", F555, T | V | L, kWhite, kSame, C, C, 0x00ffffff, kNoTint, kAll555, Px555(30, 30, 30)},
        {"vcolor bilinear tint 255", F8888, T | V | N | L, kWhite, kSame, C, C, kWhite, {255, 255, 255, 255}, 0,
         Argb(255, 247, 247, 247)},
        {"vcolor bilinear tint red 128", F8888, T | V | N | L, kWhite, kSame, C, C, kWhite, {255, 128, 255, 255}, 0,
         Argb(255, 61, 247, 247)},
        {"vcolor bilinear tint alpha 128", F8888, T | V | N | L, kWhite, kSame, C, C, kWhite, {128, 255, 255, 255},
         Argb(255, 0, 0, 0), Argb(255, 61, 61, 61)},
        {"vcolor bilinear half texels", F8888, T | V | L, Argb(128, 255, 255, 255), kSame, C, C, kWhite, kNoTint, 0,
         Argb(255, 124, 124, 124)},
        {"vcolor bilinear transparent texels opaque", F8888, T | V | L, 0, kSame, C, C, kWhite, kNoTint, kWhite,
         Argb(255, 0, 0, 0)},
        {"vcolor bilinear transparent texels 128", F8888, T | V | L, 0, kSame, C, C, 0x80ffffff, kNoTint,
         Argb(255, 100, 100, 100), Argb(255, 49, 49, 49)},

        // Blended, nearest.
        {"blend alpha 8 is skipped", F8888, T | B, Argb(8, 255, 255, 255), kSame, H, H, 0, kNoTint, Argb(0, 1, 2, 3),
         Argb(0, 1, 2, 3)},
        {"blend alpha 9", F8888, T | B, Argb(9, 255, 255, 255), kSame, H, H, 0, kNoTint, 0, Argb(8, 227, 227, 227)},
        {"blend alpha 239", F8888, T | B, Argb(239, 255, 255, 255), kSame, H, H, 0, kNoTint, 0,
         Argb(238, 254, 254, 254)},
        {"blend alpha 240 opaque", F8888, T | B, Argb(240, 18, 52, 86), kSame, H, H, 0, kNoTint, Argb(9, 9, 9, 9),
         Argb(255, 18, 52, 86)},
        {"blend 128 over clear", F8888, T | B, Argb(128, 255, 255, 255), kSame, H, H, 0, kNoTint, 0,
         Argb(127, 254, 254, 254)},
        {"blend 128 over black", F8888, T | B, Argb(128, 255, 255, 255), kSame, H, H, 0, kNoTint, Argb(255, 0, 0, 0),
         Argb(255, 127, 127, 127)},
        {"blend 128 over half", F8888, T | B, Argb(128, 255, 255, 255), kSame, H, H, 0, kNoTint, Argb(128, 0, 0, 0),
         Argb(191, 169, 169, 169)},
        {"blend 888 over white", F888, T | B, Argb(128, 255, 255, 255), kSame, H, H, 0, kNoTint, kWhite,
         Argb(255, 253, 253, 253)},
        {"blend 888 black over white", F888, T | B, Argb(128, 0, 0, 0), kSame, H, H, 0, kNoTint, Argb(0, 255, 255, 255),
         Argb(255, 126, 126, 126)},
        {"blend 565 over white", F565, T | B, Argb(128, 255, 255, 255), kSame, H, H, 0, kNoTint, Px565(31, 63, 31),
         Px565(29, 60, 29)},
        {"blend 565 over black", F565, T | B, Argb(128, 255, 255, 255), kSame, H, H, 0, kNoTint, 0, Px565(15, 31, 15)},
        {"blend 565 black over white", F565, T | B, Argb(128, 0, 0, 0), kSame, H, H, 0, kNoTint, Px565(31, 63, 31),
         Px565(14, 29, 14)},
        {"blend 555 over white", F555, T | B, Argb(128, 255, 255, 255), kSame, H, H, 0, kNoTint, Px555(31, 31, 31),
         Px555(29, 29, 29)},
        {"blend 555 black over white", F555, T | B, Argb(128, 0, 0, 0), kSame, H, H, 0, kNoTint,
         Px555(31, 31, 31, true), Px555(14, 14, 14)},
        {"blend 555 opaque", F555, T | B, Argb(240, 255, 255, 255), kSame, H, H, 0, kNoTint, 0x8000, Px555(31, 31, 31)},
        {"blend tinted alpha 9", F8888, T | B | N, Argb(9, 255, 255, 255), kSame, H, H, 0, {255, 255, 255, 255}, 0,
         Argb(7, 224, 224, 224)},
        {"blend tint alpha 10", F8888, T | B | N, kWhite, kSame, H, H, 0, {10, 255, 255, 255}, 0, Argb(8, 227, 227, 227)},
        {"blend tinted colour", F8888, T | B | N, Argb(128, 255, 128, 64), kSame, H, H, 0, {255, 128, 255, 0},
         Argb(255, 0, 0, 0), Argb(255, 63, 63, 0)},
        {"blend tint alpha 0", F8888, T | B | N, kWhite, kSame, H, H, 0, {0, 255, 255, 255}, Argb(64, 128, 128, 128),
         Argb(63, 128, 128, 128)},
        {"blend tint alpha 0 888", F888, T | B | N, kWhite, kSame, H, H, 0, {0, 255, 255, 255}, Argb(0, 18, 52, 86),
         Argb(255, 17, 51, 85)},
        {"blend tint 255 565", F565, T | B | N, kWhite, kSame, H, H, 0, {255, 255, 255, 255}, 0, Px565(31, 63, 31)},
        {"blend tint alpha 0 over nothing leaves the pixel", F8888, T | B | N, kWhite, kSame, H, H, 0,
         {0, 255, 255, 255}, Argb(0, 10, 20, 30), Argb(0, 10, 20, 30)},

        // Blended, bilinear.
        {"blend bilinear alpha 9 skipped", F8888, T | B | L, Argb(9, 255, 255, 255), kSame, C, C, 0, kNoTint,
         Argb(0, 1, 2, 3), Argb(0, 1, 2, 3)},
        {"blend bilinear alpha 10", F8888, T | B | L, Argb(10, 255, 255, 255), kSame, C, C, 0, kNoTint, 0,
         Argb(8, 227, 227, 227)},
        {"blend bilinear alpha 241 opaque", F8888, T | B | L, Argb(241, 255, 255, 255), kSame, C, C, 0, kNoTint, 0,
         Argb(255, 239, 239, 239)},
        {"blend bilinear centre", F8888, T | B | L, kWhite, kSame, C, C, 0, kNoTint, 0, Argb(255, 253, 253, 253)},
        {"blend bilinear centre 888", F888, T | B | L, kWhite, kSame, C, C, 0, kNoTint, 0, Argb(255, 253, 253, 253)},
        {"blend bilinear centre 565", F565, T | B | L, kWhite, kSame, C, C, 0, kNoTint, 0, Px565(31, 63, 31)},
        {"blend bilinear centre 555", F555, T | B | L, kWhite, kSame, C, C, 0, kNoTint, 0x8000, Px555(31, 31, 31)},
        {"blend bilinear midway", F8888, T | B | L, kWhite, kSame, M, M, 0, kNoTint, 0, Argb(255, 251, 251, 251)},
        {"blend bilinear midway 565", F565, T | B | L, kWhite, kSame, M, M, 0, kNoTint, 0, Px565(31, 62, 31)},
        {"blend bilinear midway 555", F555, T | B | L, kWhite, kSame, M, M, 0, kNoTint, 0, Px555(31, 31, 31)},
        {"blend bilinear half row over clear", F8888, T | B | L, kWhite, 0, M, H, 0, kNoTint, 0, Argb(126, 253, 253, 253)},
        {"blend bilinear half row over black", F8888, T | B | L, kWhite, 0, M, H, 0, kNoTint, Argb(255, 0, 0, 0),
         Argb(255, 126, 126, 126)},
        {"blend bilinear half row over half red", F8888, T | B | L, kWhite, 0, M, H, 0, kNoTint, Argb(128, 255, 0, 0),
         Argb(191, 253, 168, 168)},
        {"blend bilinear half row 888", F888, T | B | L, kWhite, 0, M, H, 0, kNoTint, Argb(0, 255, 0, 255),
         Argb(255, 253, 126, 253)},
        {"blend bilinear half row 565", F565, T | B | L, kWhite, 0, M, H, 0, kNoTint, Px565(31, 63, 31),
         Px565(30, 62, 30)},
        {"blend bilinear half row 555", F555, T | B | L, kWhite, 0, M, H, 0, kNoTint, Px555(31, 31, 31, true),
         Px555(30, 30, 30)},
        {"blend bilinear tint 255", F8888, T | B | N | L, kWhite, kSame, C, C, 0, {255, 255, 255, 255}, 0,
         Argb(255, 251, 251, 251)},
        {"blend bilinear tint 242", F8888, T | B | N | L, kWhite, kSame, C, C, 0, {242, 255, 255, 255}, 0,
         Argb(255, 238, 238, 238)},
        {"blend bilinear tint 241", F8888, T | B | N | L, kWhite, kSame, C, C, 0, {241, 255, 255, 255},
         Argb(255, 0, 0, 0), Argb(255, 237, 237, 237)},
        {"blend bilinear tint 128 over clear", F8888, T | B | N | L, kWhite, kSame, C, C, 0, {128, 255, 255, 255}, 0,
         Argb(126, 253, 253, 253)},
        {"blend bilinear tint 128 over black", F8888, T | B | N | L, kWhite, kSame, C, C, 0, {128, 255, 255, 255},
         Argb(255, 0, 0, 0), Argb(255, 126, 126, 126)},
        {"blend bilinear tint 0 white", F8888, T | B | N | L, kWhite, kSame, C, C, 0, {0, 255, 255, 255}, kWhite,
         Argb(254, 254, 254, 254)},
        {"blend bilinear tint 0 black", F8888, T | B | N | L, kWhite, kSame, C, C, 0, {0, 255, 255, 255},
         Argb(255, 0, 0, 0), Argb(254, 0, 0, 0)},
        {"blend bilinear tint 0 888", F888, T | B | N | L, kWhite, kSame, C, C, 0, {0, 255, 255, 255}, kWhite,
         Argb(255, 254, 254, 254)},
        {"blend bilinear tint 0 565", F565, T | B | N | L, kWhite, kSame, C, C, 0, {0, 255, 255, 255},
         Px565(31, 63, 31), Px565(30, 61, 30)},
        {"blend bilinear tint 0 555", F555, T | B | N | L, kWhite, kSame, C, C, 0, {0, 255, 255, 255},
         Px555(31, 31, 31), Px555(30, 30, 30)},
        {"blend bilinear tint 50 over clear saturates at 255", F8888, T | B | N | L, kWhite, kSame, C, C, 0,
         {50, 255, 255, 255}, 0, Argb(48, 255, 255, 255)},

        // Blended, vertex-coloured, nearest.
        {"blend vcolor half texel", F8888, T | B | V, Argb(128, 255, 255, 255), kSame, H, H, kWhite, kNoTint,
         Argb(255, 0, 0, 0), Argb(255, 126, 126, 126)},
        {"blend vcolor alpha 241", F8888, T | B | V, Argb(255, 200, 100, 50), kSame, H, H, 0xf1ffffff, kNoTint,
         Argb(255, 0, 0, 0), Argb(255, 199, 99, 49)},
        {"blend vcolor alpha 240", F8888, T | B | V, Argb(255, 200, 100, 50), kSame, H, H, 0xf0ffffff, kNoTint,
         Argb(255, 0, 0, 0), Argb(255, 185, 92, 45)},
        {"blend vcolor texel alpha 8 skipped", F8888, T | B | V, Argb(8, 255, 255, 255), kSame, H, H, kWhite, kNoTint,
         Argb(0, 1, 2, 3), Argb(0, 1, 2, 3)},
        {"blend vcolor texel alpha 9", F8888, T | B | V, Argb(9, 255, 255, 255), kSame, H, H, kWhite, kNoTint, 0,
         Argb(7, 224, 224, 224)},
        {"blend vcolor alpha 0 888", F888, T | B | V, kWhite, kSame, H, H, 0x00ffffff, kNoTint, Argb(0, 255, 128, 1),
         Argb(255, 254, 127, 0)},
        {"blend vcolor alpha 0 565", F565, T | B | V, kWhite, kSame, H, H, 0x00ffffff, kNoTint, Px565(31, 63, 31),
         Px565(30, 61, 30)},
        {"blend vcolor alpha 0 8888", F8888, T | B | V, kWhite, kSame, H, H, 0x00ffffff, kNoTint,
         Argb(255, 255, 128, 1), Argb(254, 254, 127, 0)},
        {"blend vcolor colour", F8888, T | B | V, kWhite, kSame, H, H, 0xff804000, kNoTint, Argb(255, 0, 0, 0),
         Argb(255, 127, 63, 0)},
        {"blend vcolor half texel 565", F565, T | B | V, Argb(128, 255, 255, 255), kSame, H, H, kWhite, kNoTint, 0,
         Px565(15, 31, 15)},
        {"blend vcolor half texel 555", F555, T | B | V, Argb(128, 255, 255, 255), kSame, H, H, kWhite, kNoTint, 0x8000,
         Px555(15, 15, 15)},
        {"blend vcolor tinted white", F8888, T | B | V | N, kWhite, kSame, H, H, kWhite, {128, 255, 255, 255},
         Argb(255, 0, 0, 0), Argb(255, 61, 61, 61)},
        {"blend vcolor tinted half texel", F8888, T | B | V | N, Argb(128, 255, 255, 255), kSame, H, H, kWhite,
         {128, 255, 255, 255}, Argb(255, 0, 0, 0), Argb(255, 30, 30, 30)},
        {"blend vcolor alpha 0 over nothing leaves the pixel", F8888, T | B | V, kWhite, kSame, H, H, 0x00ffffff,
         kNoTint, Argb(0, 10, 20, 30), Argb(0, 10, 20, 30)},

        // Blended, vertex-coloured, bilinear.
        {"all white", F8888, T | B | V | L, kWhite, kSame, C, C, kWhite, kNoTint, 0, Argb(255, 251, 251, 251)},
        {"all white 888", F888, T | B | V | L, kWhite, kSame, C, C, kWhite, kNoTint, 0, Argb(255, 251, 251, 251)},
        {"all white 565", F565, T | B | V | L, kWhite, kSame, C, C, kWhite, kNoTint, 0, Px565(31, 62, 31)},
        {"all white 555", F555, T | B | V | L, kWhite, kSame, C, C, kWhite, kNoTint, 0x8000, Px555(31, 31, 31)},
        {"all alpha 242 opaque", F8888, T | B | V | L, kWhite, kSame, C, C, 0xf2ffffff, kNoTint, 0,
         Argb(255, 238, 238, 238)},
        {"all alpha 241 over black", F8888, T | B | V | L, kWhite, kSame, C, C, 0xf1ffffff, kNoTint, Argb(255, 0, 0, 0),
         Argb(255, 237, 237, 237)},
        {"all alpha 241 over white", F8888, T | B | V | L, kWhite, kSame, C, C, 0xf1ffffff, kNoTint, kWhite,
         Argb(255, 253, 253, 253)},
        {"all alpha 241 888 over white", F888, T | B | V | L, kWhite, kSame, C, C, 0xf1ffffff, kNoTint, kWhite,
         Argb(255, 252, 252, 252)},
        {"all alpha 128 over clear", F8888, T | B | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, 0,
         Argb(126, 253, 253, 253)},
        {"all alpha 128 over half", F8888, T | B | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, Argb(128, 0, 0, 0),
         Argb(191, 168, 168, 168)},
        {"all alpha 128 888 over clear", F888, T | B | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, 0,
         Argb(255, 126, 126, 126)},
        {"all alpha 128 888 over white", F888, T | B | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, kWhite,
         Argb(255, 253, 253, 253)},
        {"all alpha 128 565", F565, T | B | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, Px565(31, 63, 31),
         Px565(30, 62, 30)},
        {"all alpha 128 555", F555, T | B | V | L, kWhite, kSame, C, C, 0x80ffffff, kNoTint, kAll555, Px555(30, 30, 30)},
        {"all alpha 0", F8888, T | B | V | L, kWhite, kSame, C, C, 0x00ffffff, kNoTint, Argb(255, 100, 100, 100),
         Argb(254, 99, 99, 99)},
        {"all alpha 0 888", F888, T | B | V | L, kWhite, kSame, C, C, 0x00ffffff, kNoTint, Argb(0, 100, 100, 100),
         Argb(255, 99, 99, 99)},
        {"all alpha 0 565", F565, T | B | V | L, kWhite, kSame, C, C, 0x00ffffff, kNoTint, Px565(31, 63, 31),
         Px565(30, 61, 30)},
        {"all alpha 0 555", F555, T | B | V | L, kWhite, kSame, C, C, 0x00ffffff, kNoTint, 0x8000, 0},
        {"all colour", F8888, T | B | V | L, kWhite, kSame, C, C, 0xff804000, kNoTint, 0, Argb(255, 125, 62, 0)},
        {"all texel alpha 9 skipped", F8888, T | B | V | L, Argb(9, 255, 255, 255), kSame, C, C, kWhite, kNoTint,
         Argb(0, 1, 2, 3), Argb(0, 1, 2, 3)},
        {"all texel alpha 10", F8888, T | B | V | L, Argb(10, 255, 255, 255), kSame, C, C, kWhite, kNoTint, 0,
         Argb(7, 192, 192, 192)},
        {"all half texels over black", F8888, T | B | V | L, Argb(128, 255, 255, 255), kSame, C, C, kWhite, kNoTint,
         Argb(255, 0, 0, 0), Argb(255, 124, 124, 124)},
        {"all half texels over clear", F8888, T | B | V | L, Argb(128, 255, 255, 255), kSame, C, C, kWhite, kNoTint, 0,
         Argb(125, 251, 251, 251)},
        {"all tint 255", F8888, T | B | V | N | L, kWhite, kSame, C, C, kWhite, {255, 255, 255, 255}, 0,
         Argb(255, 247, 247, 247)},
        {"all tint 255 565", F565, T | B | V | N | L, kWhite, kSame, C, C, kWhite, {255, 255, 255, 255}, 0,
         Px565(30, 61, 30)},
        {"all tint 128 over black", F8888, T | B | V | N | L, kWhite, kSame, C, C, kWhite, {128, 255, 255, 255},
         Argb(255, 0, 0, 0), Argb(255, 61, 61, 61)},
        {"all tint 128 over clear", F8888, T | B | V | N | L, kWhite, kSame, C, C, kWhite, {128, 255, 255, 255}, 0,
         Argb(61, 251, 251, 251)},
        {"all tint 128 888", F888, T | B | V | N | L, kWhite, kSame, C, C, kWhite, {128, 255, 255, 255}, 0,
         Argb(255, 61, 61, 61)},
        {"all tint 128 555", F555, T | B | V | N | L, kWhite, kSame, C, C, kWhite, {128, 255, 255, 255}, 0,
         Px555(7, 7, 7)},
        {"all tint red 128", F8888, T | B | V | N | L, kWhite, kSame, C, C, kWhite, {255, 128, 255, 255}, 0,
         Argb(255, 61, 247, 247)},
        {"all alpha 0 over nothing leaves the pixel", F8888, T | B | V | L, kWhite, kSame, C, C, 0x00ffffff, kNoTint,
         Argb(0, 10, 20, 30), Argb(0, 10, 20, 30)},
};
// clang-format on

TEST(RasterFillers, WorkedValuesWithUniformVertices) {
    for (const Fixture& f : kFixtures) {
        SCOPED_TRACE(f.why);
        const uint32_t second = f.texel1 == kSame ? f.texel : f.texel1;
        const std::vector<uint32_t> texels{f.texel, second, f.texel, second};
        const Velm::RasterTexture texture = Texture(texels, 2, 2);
        Canvas canvas(f.format, 8, 8);
        canvas.Fill(f.dest);
        const Velm::RasterVertex vertices[3] = {Vertex(0, 0, f.vertexColor, f.u, f.v),
                                                Vertex(8, 0, f.vertexColor, f.u, f.v),
                                                Vertex(0, 8, f.vertexColor, f.u, f.v)};
        Draw(canvas, f.flags, vertices, (f.flags & T) != 0 ? &texture : nullptr, f.tint);
        EXPECT_EQ(canvas.Get(1, 1), f.expected);
        EXPECT_EQ(canvas.Get(4, 2), f.expected);
        EXPECT_EQ(canvas.Get(0, 7), f.expected);
        EXPECT_EQ(canvas.Get(7, 7), f.dest & (Is16Bit(f.format) ? 0xffffu : 0xffffffffu)) << "outside the triangle";
    }
}

}  // namespace

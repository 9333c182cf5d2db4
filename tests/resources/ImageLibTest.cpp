#include "resources/ImageLib.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/DebugOutput.h"
#include "resources/pack/PakInterface.h"
#include "resources/pack/PakWriter.h"
#include "tests/resources/ImageFixtures.h"

namespace {

using fixtures::Bytes;
using fixtures::TempDir;
using ImagePtr = std::unique_ptr<ImageLib::Image>;

std::vector<uint32_t> Pixels(const ImageLib::Image& image) {
    return std::vector<uint32_t>(image.mBits, image.mBits + size_t(image.mWidth) * image.mHeight);
}

// 0xAARRGGBB pixels that differ in every channel.
std::vector<uint32_t> Pattern(int width, int height, uint32_t alpha = 0xFF000000u) {
    std::vector<uint32_t> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            out.push_back(alpha | uint32_t(x * 20) << 16 | uint32_t(y * 30) << 8 | uint32_t(x + y));
    }
    return out;
}

// ---- TGA ----

TEST(ImageLibTga, ReadsTopLeftOriginWithAlphaAndRefusesTheOtherDescriptor) {
    const std::vector<uint32_t> pixels = {0x80112233u, 0xFF445566u, 0x00778899u, 0x7FAABBCCu, 0x01020304u, 0xFEFDFCFBu};
    struct Case {
        const char* why;
        uint8_t descriptor;
        bool read;
    };
    const Case cases[] = {
            {"0x28: 8 alpha bits, top-left origin", 0x28, true},
            {"0x08: bottom-left origin", 0x08, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const Bytes file = fixtures::MakeTga(3, 2, pixels, c.descriptor);
        ImagePtr image(ImageLib::ReadTGAImage(file.data(), file.size()));
        ASSERT_EQ(image != nullptr, c.read);
        if (image) {
            EXPECT_EQ(image->mWidth, 3);
            EXPECT_EQ(image->mHeight, 2);
            EXPECT_EQ(Pixels(*image), pixels);
        }
    }
}

TEST(ImageLibTga, BrokenFilesGiveNull) {
    Bytes file = fixtures::MakeTga(4, 4, Pattern(4, 4));
    Bytes depth24 = file;
    depth24[16] = 24;
    Bytes huge = fixtures::MakeTga(2, 2, Pattern(2, 2));
    huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;  // 65535 x 65535 promised, 16 pixels held
    struct Case {
        const char* why;
        Bytes bytes;
    };
    const Case cases[] = {
            {"empty", Bytes()},
            {"header only", Bytes(file.begin(), file.begin() + 18)},
            {"one pixel short", Bytes(file.begin(), file.end() - 1)},
            {"24-bit", depth24},
            {"size beyond the data", huge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ImagePtr(ImageLib::ReadTGAImage(c.bytes.data(), c.bytes.size())), nullptr);
    }
}

// ---- GIF ----

fixtures::GifOptions FourColours() {
    fixtures::GifOptions options;
    options.palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    return options;
}

TEST(ImageLibGif, DecodesIndicesThroughTheColourTable) {
    for (bool local : {false, true}) {
        SCOPED_TRACE(local ? "local table" : "global table");
        fixtures::GifOptions options = FourColours();
        options.localTable = local;
        const Bytes file = fixtures::MakeGif(3, 2, {0, 1, 2, 3, 2, 1}, options);
        ImagePtr image(ImageLib::ReadGIFImage(file.data(), file.size()));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu,
                                                         0xFF0000FFu, 0xFF00FF00u}));
    }
}

TEST(ImageLibGif, InterlacedRowsWithTransparencyAndAnOverLongStream) {
    // Ten rows in the file's order 0, 8, 4, 2, 6, 1, 3, 5, 7, 9; each row holds
    // its own row number's colour, and index 3 (row 3) is transparent. The
    // stream carries 40 codes more than the picture holds.
    const int fileOrder[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    fixtures::GifOptions options;
    options.minCodeSize = 4;
    for (int i = 0; i < 10; ++i) options.palette.push_back(0x101010u * (i + 1));
    options.transparentIndex = 3;
    options.interlaced = true;
    options.extraCodes = 40;
    std::vector<uint8_t> indices;
    for (int row : fileOrder) indices.insert(indices.end(), 4, static_cast<uint8_t>(row));
    const Bytes file = fixtures::MakeGif(4, 10, indices, options);
    ImagePtr image(ImageLib::ReadGIFImage(file.data(), file.size()));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->mWidth, 4);
    ASSERT_EQ(image->mHeight, 10);
    for (int y = 0; y < 10; ++y) {
        SCOPED_TRACE(y);
        const uint32_t expected = y == 3 ? 0u : 0xFF000000u | (0x101010u * (y + 1));
        for (int x = 0; x < 4; ++x) EXPECT_EQ(image->mBits[y * 4 + x], expected);
    }
}

TEST(ImageLibGif, IndicesOutsideTheTableAreTransparent) {
    fixtures::GifOptions options;
    options.minCodeSize = 3;
    options.palette = {0x112233, 0x445566};  // a table of 2 entries
    const Bytes withTable = fixtures::MakeGif(4, 1, {0, 1, 5, 7}, options);
    ImagePtr image(ImageLib::ReadGIFImage(withTable.data(), withTable.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF112233u, 0xFF445566u, 0u, 0u}));

    options.palette.clear();  // no colour table at all
    const Bytes noTable = fixtures::MakeGif(2, 1, {0, 1}, options);
    image.reset(ImageLib::ReadGIFImage(noTable.data(), noTable.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0u, 0u}));
}

TEST(ImageLibGif, AShortStreamLeavesTheRestTransparent) {
    fixtures::GifOptions options = FourColours();
    // Codes for 3 of the 16 pixels.
    const Bytes shortStream = fixtures::MakeGif(4, 4, std::vector<uint8_t>(3, 1), options);
    ImagePtr image(ImageLib::ReadGIFImage(shortStream.data(), shortStream.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->mBits[0], 0xFF00FF00u);
    EXPECT_EQ(image->mBits[2], 0xFF00FF00u);
    EXPECT_EQ(image->mBits[3], 0u);
    EXPECT_EQ(image->mBits[15], 0u);
}

TEST(ImageLibGif, BrokenFilesGiveNullOrAPictureNeverACrash) {
    const Bytes good = fixtures::MakeGif(5, 3, std::vector<uint8_t>(15, 2), FourColours());
    Bytes badSignature = good;
    badSignature[3] = '7';
    badSignature[4] = '7';
    Bytes zeroWidth = good;
    const size_t descriptor = 13 + 12 + 7 + 1;  // header, table, comment, ','
    ASSERT_EQ(good[descriptor - 1], ',');
    zeroWidth[descriptor + 4] = 0;
    Bytes noImage(good.begin(), good.begin() + 13 + 12);
    noImage.push_back(';');
    struct Case {
        const char* why;
        Bytes bytes;
    };
    const Case cases[] = {
            {"bad signature", badSignature},
            {"zero width", zeroWidth},
            {"trailer before any image", noImage},
            {"header only", Bytes(good.begin(), good.begin() + 13)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ImagePtr(ImageLib::ReadGIFImage(c.bytes.data(), c.bytes.size())), nullptr);
    }
    // Every truncation of a good file: null or a picture of the file's size.
    for (size_t n = 0; n < good.size(); ++n) {
        ImagePtr image(ImageLib::ReadGIFImage(good.data(), n));
        if (image) {
            EXPECT_EQ(image->mWidth, 5);
            EXPECT_EQ(image->mHeight, 3);
        }
    }
}

// ---- PNG ----

TEST(ImageLibPng, PaletteWithTransparencyChunkGivesPerPixelAlpha) {
    fixtures::PngOptions options;
    options.colorType = 3;  // palette
    options.palette = {0x102030, 0x405060, 0x708090};
    options.paletteAlpha = {0x00, 0x80};  // entry 2 has no tRNS entry: opaque
    const Bytes file = fixtures::MakePng(3, 1, {{0, 1, 2}}, options);
    ImagePtr image(ImageLib::ReadPNGImage(file.data(), file.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0x00102030u, 0x80405060u, 0xFF708090u}));
}

TEST(ImageLibPng, SixteenBitSamplesAreCutToEightBits) {
    fixtures::PngOptions options;
    options.colorType = 6;
    options.bitDepth = 16;
    // One RGBA pixel: R 0xABCD, G 0x1234, B 0xFF00, A 0x7F7F (big-endian samples).
    const Bytes file = fixtures::MakePng(1, 1, {{0xAB, 0xCD, 0x12, 0x34, 0xFF, 0x00, 0x7F, 0x7F}}, options);
    ImagePtr image(ImageLib::ReadPNGImage(file.data(), file.size()));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->mWidth, 1);
    EXPECT_EQ(image->mBits[0] >> 24, 0x7Fu);
    EXPECT_EQ(image->mBits[0] & 0xFFFFFF, 0xAB12FFu);
}

TEST(ImageLibPng, InterlacedGreyAndRgbFilesMatchTheirSamples) {
    const int w = 9, h = 7;
    std::vector<std::vector<uint8_t>> rgbRows, greyRows;
    std::vector<uint32_t> rgbExpected, greyExpected;
    for (int y = 0; y < h; ++y) {
        std::vector<uint8_t> rgb, grey;
        for (int x = 0; x < w; ++x) {
            const uint8_t r = static_cast<uint8_t>(x * 25), g = static_cast<uint8_t>(y * 33),
                          b = static_cast<uint8_t>(x ^ y);
            rgb.insert(rgb.end(), {r, g, b});
            rgbExpected.push_back(0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b);
            const uint8_t v = static_cast<uint8_t>(x * 7 + y * 11);
            grey.push_back(v);
            greyExpected.push_back(0xFF000000u | uint32_t(v) * 0x010101u);
        }
        rgbRows.push_back(rgb);
        greyRows.push_back(grey);
    }
    struct Case {
        const char* why;
        int colorType;
        bool interlaced;
        const std::vector<std::vector<uint8_t>>* rows;
        const std::vector<uint32_t>* expected;
    };
    const Case cases[] = {
            {"RGB interlaced", 2, true, &rgbRows, &rgbExpected},
            {"RGB plain", 2, false, &rgbRows, &rgbExpected},
            {"grey interlaced", 0, true, &greyRows, &greyExpected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        fixtures::PngOptions options;
        options.colorType = c.colorType;
        options.interlaced = c.interlaced;
        const Bytes file = fixtures::MakePng(w, h, *c.rows, options);
        ImagePtr image(ImageLib::ReadPNGImage(file.data(), file.size()));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(Pixels(*image), *c.expected);
    }
}

TEST(ImageLibPng, WriterRoundTripsThroughTheReaderAndReplacesFilesWhole) {
    TempDir dir;
    ImageLib::Image picture;
    picture.mWidth = 5;
    picture.mHeight = 4;
    const std::vector<uint32_t> pixels = Pattern(5, 4, 0x7F000000u);
    picture.mBits = new uint32_t[pixels.size()];
    std::copy(pixels.begin(), pixels.end(), picture.mBits);
    const std::string path = dir.Path("out.png");
    ASSERT_TRUE(ImageLib::WritePNGImage(path, &picture));
    ImagePtr back(ImageLib::GetPNGImage(path));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Pixels(*back), pixels);

    ImageLib::Image empty;
    EXPECT_FALSE(ImageLib::WritePNGImage(dir.Path("empty.png"), &empty));
    EXPECT_FALSE(ImageLib::WritePNGImage(dir.Path("no/such/folder/x.png"), &picture));
}

TEST(ImageLibPng, BrokenFilesGiveNull) {
    const Bytes good = fixtures::MakePng(4, 4, std::vector<std::vector<uint8_t>>(4, std::vector<uint8_t>(16, 0x55)),
                                         fixtures::PngOptions());
    Bytes corrupt = good;
    corrupt[good.size() / 2] ^= 0xFF;
    EXPECT_EQ(ImagePtr(ImageLib::ReadPNGImage(corrupt.data(), corrupt.size())), nullptr);
    for (size_t n = 0; n + 12 < good.size(); ++n) {  // every cut before the end chunk
        EXPECT_EQ(ImagePtr(ImageLib::ReadPNGImage(good.data(), n)), nullptr) << n;
    }
}

// The libraries' complaints about a broken file go to the debug log with the file's name,
// never straight to stderr.
TEST(ImageLibMessages, BrokenFilesAreNamedInTheLogAndStderrStaysQuiet) {
    TempDir dir;
    Bytes png = fixtures::MakePng(4, 4, std::vector<std::vector<uint8_t>>(4, std::vector<uint8_t>(16, 0x55)),
                                  fixtures::PngOptions());
    png[png.size() / 2] ^= 0xFF;
    const Bytes jpeg = fixtures::MakeJpeg(16, 16, 3, std::vector<uint8_t>(16 * 16 * 3, 0x33), 90);
    struct Case {
        const char* why;
        const char* name;
        Bytes bytes;
        const char* logged;  // start of the line naming the file
    };
    const Case cases[] = {
            {"PNG with a damaged chunk", "bad.png", png, "PNG error in "},
            {"PNG cut short", "short.png", Bytes(png.begin(), png.begin() + 40), "PNG error in "},
            {"JPEG cut in its scan", "short.jpg", Bytes(jpeg.begin(), jpeg.end() - 40), "JPEG message for "},
            {"JPEG with no picture", "junk.jpg", Bytes{0xFF, 0xD8, 0x12, 0x34, 0x56}, "JPEG message for "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string path = dir.Path(c.name);
        ASSERT_TRUE(fixtures::WriteBytes(path, c.bytes));
        plat::CapturedDebugOutput log;
        testing::internal::CaptureStderr();
        ImagePtr(ImageLib::GetImage(path, false));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_NE(log.Text().find(c.logged + path + ": "), std::string::npos) << log.Text();
    }
}

// ---- JPEG ----

TEST(ImageLibJpeg, GreyPixelsBecomeOpaqueGrey) {
    const Bytes file = fixtures::MakeJpeg(16, 8, 1, std::vector<uint8_t>(16 * 8, 0x80), 100);
    ImagePtr image(ImageLib::ReadJPEGImage(file.data(), file.size()));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->mWidth, 16);
    ASSERT_EQ(image->mHeight, 8);
    EXPECT_EQ(image->mBits[0], 0xFF808080u);
    EXPECT_EQ(image->mBits[16 * 8 - 1], 0xFF808080u);
}

TEST(ImageLibJpeg, WriterDropsAlphaAndKeepsColoursClose) {
    TempDir dir;
    ImageLib::Image picture;
    picture.mWidth = 16;
    picture.mHeight = 16;
    picture.mBits = new uint32_t[256];
    for (int i = 0; i < 256; ++i) picture.mBits[i] = 0x20C08040u;
    const std::string path = dir.Path("shot.jpg");
    ASSERT_TRUE(ImageLib::WriteJPEGImage(path, &picture));
    ImagePtr back(ImageLib::GetImage(path, false));
    ASSERT_NE(back, nullptr);
    const uint32_t p = back->mBits[100];
    EXPECT_EQ(p >> 24, 0xFFu);
    EXPECT_NEAR(int((p >> 16) & 0xFF), 0xC0, 3);
    EXPECT_NEAR(int((p >> 8) & 0xFF), 0x80, 3);
    EXPECT_NEAR(int(p & 0xFF), 0x40, 3);
}

TEST(ImageLibJpeg, BrokenFilesNeverEndTheProgram) {
    const Bytes good = fixtures::MakeJpeg(16, 16, 3, std::vector<uint8_t>(16 * 16 * 3, 0x33), 90);
    EXPECT_EQ(ImagePtr(ImageLib::ReadJPEGImage(good.data(), 0)), nullptr);
    const Bytes junk = {0xFF, 0xD8, 0x12, 0x34, 0x56};
    EXPECT_EQ(ImagePtr(ImageLib::ReadJPEGImage(junk.data(), junk.size())), nullptr);
    // A file cut inside its scan data still gives a picture of its size (the
    // missing part is made up by the library); a cut inside the headers none.
    for (size_t n = 1; n < good.size(); n += 7) {
        ImagePtr image(ImageLib::ReadJPEGImage(good.data(), n));
        if (image) {
            EXPECT_EQ(image->mWidth, 16);
        }
    }
}

// ---- JPEG 2000 ----

TEST(ImageLibJpeg2000, RoundTripThroughOpenJpegWhileSwitchedOn) {
    TempDir dir;
    const std::vector<uint32_t> pixels = Pattern(8, 6);
    ASSERT_TRUE(fixtures::WriteJpeg2000(dir.Path("a.j2k"), 8, 6, pixels, false));
    ASSERT_TRUE(fixtures::WriteJpeg2000(dir.Path("b.jp2"), 8, 6, pixels, true));
    ImageLib::InitJPEG2000();
    for (const char* name : {"a.j2k", "b.jp2", "a", "b"}) {
        SCOPED_TRACE(name);
        ImagePtr image(ImageLib::GetImage(dir.Path(name), false));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(Pixels(*image), pixels);
    }
    ImageLib::CloseJPEG2000();
}

TEST(ImageLibJpeg2000, SwitchedOffReadsNothingAndLeavesOtherFormatsAlone) {
    TempDir dir;
    ASSERT_TRUE(fixtures::WriteJpeg2000(dir.Path("a.j2k"), 4, 4, Pattern(4, 4), false));
    ASSERT_TRUE(fixtures::WriteBytes(dir.Path("p.tga"), fixtures::MakeTga(2, 2, Pattern(2, 2))));
    ImageLib::CloseJPEG2000();
    EXPECT_FALSE(ImageLib::IsJPEG2000Enabled());
    EXPECT_EQ(ImagePtr(ImageLib::GetImage(dir.Path("a.j2k"), false)), nullptr);
    EXPECT_EQ(ImagePtr(ImageLib::GetImage(dir.Path("a"), false)), nullptr);
    EXPECT_NE(ImagePtr(ImageLib::GetImage(dir.Path("p.tga"), false)), nullptr);
}

TEST(ImageLibJpeg2000, BrokenCodestreamGivesNull) {
    TempDir dir;
    ASSERT_TRUE(fixtures::WriteJpeg2000(dir.Path("a.j2k"), 8, 8, Pattern(8, 8), false));
    std::vector<uint8_t> bytes;
    {
        FILE* f = std::fopen(dir.Path("a.j2k").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    ImageLib::InitJPEG2000();
    for (size_t n : {size_t(0), size_t(4), size_t(20), bytes.size() / 2}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(ImagePtr(ImageLib::ReadJPEG2000Image(bytes.data(), n)), nullptr);
    }
    ImageLib::CloseJPEG2000();
}

// ---- File names and alpha companions ----

TEST(ImageLibGetImage, ExtensionChoosesTheReaderAndNoExtensionTriesTheOrder) {
    TempDir dir;
    // "tile" exists as png and gif: the png comes first in the order.
    ASSERT_TRUE(fixtures::WriteBytes(dir.Path("tile.gif"), fixtures::MakeGif(1, 1, {1}, FourColours())));
    ASSERT_TRUE(fixtures::WriteBytes(dir.Path("tile.png"),
                                     fixtures::MakePng(2, 1, {{1, 2, 3, 255, 4, 5, 6, 255}}, fixtures::PngOptions())));
    ASSERT_TRUE(
            fixtures::WriteBytes(dir.Path("a.png"), fixtures::MakePng(1, 1, {{9, 9, 9, 255}}, fixtures::PngOptions())));
    struct Case {
        const char* name;
        int width;  // 0: nothing read
    };
    const Case cases[] = {
            {"tile", 2}, {"tile.gif", 1}, {"tile.GIF", 1}, {"a.PNG", 1}, {"a.bmp", 0}, {"a.jpg", 0}, {"missing", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImagePtr image(ImageLib::GetImage(dir.Path(c.name), false));
        EXPECT_EQ(image ? image->mWidth : 0, c.width);
    }
}

TEST(ImageLibGetImage, AlphaCompanions) {
    TempDir dir;
    const std::vector<uint32_t> picture = {0xFF112233u, 0xFF445566u, 0xFF778899u, 0xFFAABBCCu};
    const std::vector<uint32_t> sameSize = {0xFF000010u, 0xFF000020u, 0xFF0000F0u, 0xFFFFFF00u};
    ASSERT_TRUE(fixtures::WriteBytes(dir.Path("tile.tga"), fixtures::MakeTga(2, 2, picture)));
    ASSERT_TRUE(fixtures::WriteBytes(dir.Path("_tile.tga"), fixtures::MakeTga(2, 2, sameSize)));
    ASSERT_TRUE(fixtures::WriteBytes(dir.Path("odd.tga"), fixtures::MakeTga(2, 2, picture)));
    ASSERT_TRUE(fixtures::WriteBytes(dir.Path("_odd.tga"), fixtures::MakeTga(1, 1, {0xFF000000u})));
    ASSERT_TRUE(fixtures::WriteBytes(dir.Path("_only.tga"), fixtures::MakeTga(2, 1, {0xFF0000FFu, 0xFF000040u})));

    ImagePtr image(ImageLib::GetImage(dir.Path("tile.tga"), true));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0x10112233u, 0x20445566u, 0xF0778899u, 0x00AABBCCu}));

    image.reset(ImageLib::GetImage(dir.Path("tile.tga"), false));
    EXPECT_EQ(Pixels(*image), picture);

    image.reset(ImageLib::GetImage(dir.Path("odd.tga"), true));  // companion of another size: ignored
    EXPECT_EQ(Pixels(*image), picture);

    image.reset(ImageLib::GetImage(dir.Path("only.tga"), true));  // companion only: white by default
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFFFFFFFFu, 0x40FFFFFFu}));

    ImageLib::gAlphaColor = 0x123456;
    image.reset(ImageLib::GetImage(dir.Path("only"), true));
    ImageLib::gAlphaColor = 0xFFFFFF;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF123456u, 0x40123456u}));

    EXPECT_EQ(ImagePtr(ImageLib::GetImage(dir.Path("only.tga"), false)), nullptr);
}

TEST(ImageLibGetImage, ReadsFromTheResourcePackFirst) {
    TempDir dir;
    const Bytes gif = fixtures::MakeGif(3, 1, {0, 1, 2}, FourColours());
    std::vector<uint8_t> grey(40 * 20, 0x80);
    const Bytes jpeg = fixtures::MakeJpeg(40, 20, 1, grey, 100);
    std::string pak;
    ASSERT_TRUE(BuildPak({{"packed\\tile.gif", std::string(gif.begin(), gif.end()), 0},
                          {"packed\\photo.jpg", std::string(jpeg.begin(), jpeg.end()), 0}},
                         pak));
    ASSERT_TRUE(fixtures::WriteBytes(dir.Path("main.pak"), Bytes(pak.begin(), pak.end())));
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(dir.Path("main.pak")));

    ImagePtr tile(ImageLib::GetImage("packed/tile", true));
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(Pixels(*tile), (std::vector<uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}));
    ImagePtr photo(ImageLib::GetImage("PACKED\\Photo.JPG", false));
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->mWidth, 40);
    EXPECT_EQ(photo->mBits[40 * 20 - 1], 0xFF808080u);
}

}  // namespace

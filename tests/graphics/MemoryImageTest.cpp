#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "graphics/CelAnimation.h"
#include "graphics/ImageHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/NativePixelFormat.h"
#include "graphics/SharedImage.h"
#include "tests/graphics/TestImages.h"

using namespace Velm;
using namespace Velm::test;

namespace {

// Stands in for the application: records registrations, 3D requests and the purge flag.
class RecordingHost : public ImageHost {
public:
    std::set<MemoryImage*> images;
    std::vector<MemoryImage*> removed3D;
    bool threeD = false;
    bool purgeNeeded = false;
    const NativePixelFormat* format = nullptr;
    std::vector<uint32_t> texturePixels;

    void AddMemoryImage(MemoryImage* image) override { images.insert(image); }
    void RemoveMemoryImage(MemoryImage* image) override {
        images.erase(image);
        removed3D.push_back(image);
    }
    void Remove3DData(MemoryImage* image) override { removed3D.push_back(image); }
    bool Is3DAccelerated() override { return threeD; }
    const NativePixelFormat* GetDisplayPixelFormat() override { return format; }
    bool ReadBackTexture(MemoryImage* image, uint32_t* out) override {
        if (texturePixels.size() != static_cast<size_t>(image->width * image->height)) return false;
        std::copy(texturePixels.begin(), texturePixels.end(), out);
        return true;
    }
    void SetPurgeNeeded() override { purgeNeeded = true; }
};

std::vector<int> RunBytes(const uint8_t* runs, int count) { return std::vector<int>(runs, runs + count); }

}  // namespace

TEST(MemoryImageTest, AlphaFlagsThroughLifecycle) {
    MemoryImage image(nullptr);
    EXPECT_FALSE(image.hasTrans);
    EXPECT_FALSE(image.hasAlpha);
    image.Create(3, 2);
    EXPECT_TRUE(image.hasTrans);
    EXPECT_TRUE(image.hasAlpha);
    image.GetBits();
    image.RefreshAlphaFlags();
    EXPECT_TRUE(image.hasTrans);
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_TRUE(GuardIntact(image));
}

TEST(MemoryImageTest, AlphaFlagRows) {
    struct Case {
        const char* why;
        std::vector<uint32_t> pixels;
        bool trans, alpha;
    };
    const Case cases[] = {
            {"opaque", {0xFF000000, 0xFFFFFFFF}, false, false},
            {"one transparent", {0xFF000000, 0x00FFFFFF}, true, false},
            {"one partial", {0x80000000, 0xFFFFFFFF}, false, true},
            {"both", {0x00000000, 0x01FFFFFF}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<MemoryImage> image(MakeImage(2, 1, c.pixels));
        EXPECT_EQ(image->hasTrans, c.trans);
        EXPECT_EQ(image->hasAlpha, c.alpha);
    }
}

TEST(MemoryImageTest, ForcedAlphaFlagsAreNeverRecomputed) {
    std::unique_ptr<MemoryImage> image(MakeFilled(2, 2, 0x80FFFFFF));
    image->ForceAlphaFlags(false, false);
    image->SetBits(std::vector<uint32_t>(4, 0).data(), 2, 2, true);
    image->RefreshAlphaFlags();
    EXPECT_FALSE(image->hasTrans);
    EXPECT_FALSE(image->hasAlpha);
    EXPECT_TRUE(image->bitsChanged);  // the stale mark stays
}

TEST(MemoryImageTest, RunLengthAlphaRows) {
    struct Case {
        const char* why;
        int width, height;
        std::vector<uint32_t> pixels;
        std::vector<int> runs;
    };
    const Case cases[] = {
            {"opaque opaque clear partial", 4, 1, {0xFF000000, 0xFF112233, 0x00000000, 0x80000000}, {2, 1, 1, 1}},
            {"runs stop at row ends", 2, 2, {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000}, {2, 1, 2, 1}},
            {"one pixel wide", 1, 3, {0x00000000, 0x00000000, 0xFF000000}, {1, 1, 1}},
            {"partials of different alpha are one class", 3, 1, {0x10000000, 0x20000000, 0xFE000000}, {3, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<MemoryImage> image(MakeImage(c.width, c.height, c.pixels));
        EXPECT_EQ(RunBytes(image->GetRLAlphaData(), c.width * c.height), c.runs);
    }
}

TEST(MemoryImageTest, LongRunIsCappedAt255) {
    std::unique_ptr<MemoryImage> image(MakeFilled(300, 1, 0));
    const uint8_t* runs = image->GetRLAlphaData();
    for (int i = 0; i < 46; ++i) EXPECT_EQ(runs[i], 255) << i;
    for (int i = 46; i < 300; ++i) EXPECT_EQ(runs[i], 300 - i) << i;
}

TEST(MemoryImageTest, RunLengthAdditiveSeparatesBlackFromColour) {
    std::unique_ptr<MemoryImage> image(MakeImage(4, 1, {0xFF000000, 0x00FFFFFF, 0xFF010000, 0xFF000000}));
    // The transparent white is premultiplied to black: it adds nothing.
    const NativePixelFormat format = NativePixelFormat::X8R8G8B8();
    EXPECT_EQ(RunBytes(image->GetRLAdditiveData(format), 4), (std::vector<int>{2, 1, 1, 1}));
    EXPECT_NE(image->nativeAlphaData, nullptr);
}

TEST(MemoryImageTest, NativeDataRows) {
    struct Case {
        const char* why;
        NativePixelFormat format;
        uint32_t argb;
        uint32_t native;
    };
    const Case cases[] = {
            {"32-bit opaque", NativePixelFormat::X8R8G8B8(), 0xFF804020, 0xFF804020},
            {"32-bit half alpha premultiplies", NativePixelFormat::X8R8G8B8(), 0x80FF0000, 0x80800000},
            {"565 white", NativePixelFormat::R5G6B5(), 0xFFFFFFFF, 0xFF00FFFF},
            {"555 white", NativePixelFormat::X1R5G5B5(), 0xFFFFFFFF, 0xFF007FFF},
            {"565 transparent keeps alpha 0", NativePixelFormat::R5G6B5(), 0x00FFFFFF, 0x00000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<MemoryImage> image(MakeImage(1, 1, {c.argb}));
        EXPECT_EQ(image->GetNativeAlphaData(c.format)[0], c.native);
    }
    const NativePixelFormat f565 = NativePixelFormat::R5G6B5();
    EXPECT_EQ(f565.greenBits, 6);
    EXPECT_EQ(f565.greenShift, 5);
    EXPECT_EQ(f565.redShift, 11);
}

TEST(MemoryImageTest, NativeDataFollowsTheRequestedFormat) {
    // Asked in another format than the cached copy's, the copy and the additive runs are made
    // anew in it, also for an image whose pixels were discarded and for a palettised one.
    const NativePixelFormat f565 = NativePixelFormat::R5G6B5(), f8888 = NativePixelFormat::X8R8G8B8();
    enum Kind { Plain, Discarded, Palettised };
    for (Kind kind : {Plain, Discarded, Palettised}) {
        SCOPED_TRACE(kind);
        RecordingHost host;
        host.format = &f565;
        MemoryImage image(&host);
        // Colours a 565 copy holds exactly, so that discarded pixels come back whole.
        const std::vector<uint32_t> pixels = {0xFFF8FCF8, 0xFF000000};
        image.SetBits(pixels.data(), 2, 1, true);
        if (kind == Palettised) {
            ASSERT_TRUE(image.Palletize());
        }
        image.GetRLAdditiveData(f565);
        if (kind == Discarded) {
            image.DiscardBits();
            ASSERT_EQ(image.bits, nullptr);
        }
        const uint32_t first = kind == Palettised ? image.colorIndices[0] : 0;
        EXPECT_EQ(image.GetNativeAlphaData(f565)[first], 0xFF00FFFFu);
        EXPECT_EQ(image.GetNativeAlphaData(f8888)[first], 0xFFF8FCF8u);
        EXPECT_EQ(RunBytes(image.GetRLAdditiveData(f8888), 2), (std::vector<int>{1, 1}));
        EXPECT_EQ(Pixels(image), pixels);
    }
}

TEST(MemoryImageTest, PalettiseAt256ColoursButNot257) {
    std::vector<uint32_t> pixels;
    for (int i = 0; i < 256; ++i) pixels.push_back(0xFF000000u | static_cast<uint32_t>(i * 65793));
    std::unique_ptr<MemoryImage> fits(MakeImage(16, 16, pixels));
    ASSERT_TRUE(fits->Palletize());
    EXPECT_EQ(fits->bits, nullptr);
    EXPECT_TRUE(fits->wantPalette);
    EXPECT_EQ(fits->palette[0], pixels[0]);  // entries in order of first appearance
    EXPECT_EQ(fits->palette[255], pixels[255]);
    // GetBits returns the palette colours and leaves the palettised form.
    EXPECT_EQ(Pixels(*fits), pixels);
    EXPECT_EQ(fits->palette, nullptr);
    EXPECT_TRUE(GuardIntact(*fits));
    EXPECT_TRUE(fits->Palletize());
    EXPECT_NE(fits->colorIndices, nullptr);

    pixels.push_back(0xFF123456);
    pixels.push_back(0xFF000000);  // repeats of known colours
    pixels.push_back(0xFF000000);
    std::unique_ptr<MemoryImage> tooMany(MakeImage(259, 1, pixels));
    EXPECT_FALSE(tooMany->Palletize());
    EXPECT_FALSE(tooMany->wantPalette);
    EXPECT_EQ(tooMany->palette, nullptr);
    EXPECT_EQ(Pixels(*tooMany), pixels);
}

TEST(MemoryImageTest, PalettisedImageKeepsRunTablesAndAlphaFlags) {
    std::unique_ptr<MemoryImage> image(MakeImage(3, 1, {0xFF000000, 0x00000000, 0x00000000}));
    const uint8_t* before = image->GetRLAlphaData();
    ASSERT_TRUE(image->Palletize());
    EXPECT_EQ(image->runLengthAlphaData, before);
    image->bitsChanged = true;
    image->RefreshAlphaFlags();  // computed over the palette
    EXPECT_TRUE(image->hasTrans);
    EXPECT_FALSE(image->hasAlpha);
}

TEST(MemoryImageTest, MarkBitsChangedDropsDerivedForms) {
    std::unique_ptr<MemoryImage> image(MakeFilled(2, 2, 0xFF102030));
    image->GetRLAlphaData();
    image->GetRLAdditiveData(NativePixelFormat::X8R8G8B8());
    const int count = image->changeCount;
    image->MarkBitsChanged();
    EXPECT_EQ(image->changeCount, count + 1);
    EXPECT_TRUE(image->bitsChanged);
    EXPECT_EQ(image->nativeAlphaData, nullptr);
    EXPECT_EQ(image->runLengthAlphaData, nullptr);
    EXPECT_EQ(image->runLengthAdditiveData, nullptr);
}

TEST(MemoryImageTest, ExpandedNativePixelsFollowThePaletteAndTheFormat) {
    // A palettised image's looked-up pixels are kept for drawing; every change of the pixels or
    // the native format must build them again rather than draw the old ones.
    const std::vector<uint32_t> first = {0xFF102030, 0x80405060, 0x00000000, 0xFF102030};
    std::unique_ptr<MemoryImage> image(MakeImage(2, 2, first));
    ASSERT_TRUE(image->Palletize());
    const NativePixelFormat wide = NativePixelFormat::X8R8G8B8();
    auto expanded = [&](const NativePixelFormat& format) {
        const uint32_t* p = image->GetExpandedNativeData(format);
        return std::vector<uint32_t>(p, p + 4);
    };
    std::vector<uint32_t> want;
    for (uint32_t argb : first) want.push_back(wide.FromArgb(argb));
    EXPECT_EQ(expanded(wide), want);

    // Changed through the 32-bit pixels, then palettised again.
    image->GetBits()[1] = 0xFFFFFFFF;
    image->MarkBitsChanged();
    ASSERT_TRUE(image->Palletize());
    want[1] = wide.FromArgb(0xFFFFFFFF);
    EXPECT_EQ(expanded(wide), want);

    // Another native format.
    const NativePixelFormat narrow = NativePixelFormat::R5G6B5();
    want.clear();
    for (uint32_t argb : {0xFF102030u, 0xFFFFFFFFu, 0x00000000u, 0xFF102030u}) want.push_back(narrow.FromArgb(argb));
    EXPECT_EQ(expanded(narrow), want);

    // An image without a palette gives its native data.
    std::unique_ptr<MemoryImage> direct(MakeImage(2, 1, {0xFF000001, 0xFF000002}));
    EXPECT_EQ(direct->GetExpandedNativeData(wide), direct->GetNativeAlphaData(wide));
}

TEST(MemoryImageTest, SetBitsResizesAndIgnoresItsOwnBuffer) {
    std::unique_ptr<MemoryImage> image(MakeFilled(2, 2, 0xFF000000));
    const int count = image->changeCount;
    image->SetBits(image->bits, 2, 2, true);
    EXPECT_EQ(image->changeCount, count);
    const std::vector<uint32_t> bigger(12, 0x80FFFFFF);
    image->SetBits(bigger.data(), 4, 3, false);
    EXPECT_EQ(image->width, 4);
    EXPECT_EQ(image->height, 3);
    EXPECT_TRUE(GuardIntact(*image));
    EXPECT_EQ(Pixels(*image), bigger);
}

TEST(MemoryImageTest, CreateAfterPalettiseStartsWithZeroPixelsOfTheNewSize) {
    std::unique_ptr<MemoryImage> image(MakeFilled(2, 2, 0xFF00FF00));
    ASSERT_TRUE(image->Palletize());
    image->Create(5, 4);
    EXPECT_EQ(image->palette, nullptr);
    EXPECT_EQ(Pixels(*image), std::vector<uint32_t>(20, 0));
    EXPECT_TRUE(GuardIntact(*image));
}

TEST(MemoryImageTest, ClearZeroesPixels) {
    std::unique_ptr<MemoryImage> image(MakeFilled(3, 3, 0xFFFFFFFF));
    image->Clear();
    EXPECT_EQ(Pixels(*image), std::vector<uint32_t>(9, 0));
    EXPECT_TRUE(GuardIntact(*image));
}

TEST(MemoryImageTest, RegistersWithItsHostForItsWholeLife) {
    RecordingHost host;
    auto* image = new MemoryImage(&host);
    EXPECT_EQ(host.images.count(image), 1u);
    auto* copy = new MemoryImage(*image);
    EXPECT_EQ(host.images.count(copy), 1u);
    EXPECT_EQ(copy->app, &host);
    delete image;
    delete copy;
    EXPECT_TRUE(host.images.empty());
    EXPECT_EQ(host.removed3D.size(), 2u);
}

TEST(MemoryImageTest, DefaultConstructorUsesTheProcessHost) {
    RecordingHost host;
    SetImageHost(&host);
    {
        MemoryImage image;
        EXPECT_EQ(image.app, &host);
        EXPECT_EQ(host.images.size(), 1u);
    }
    SetImageHost(nullptr);
    EXPECT_TRUE(host.images.empty());
    MemoryImage orphan;
    EXPECT_EQ(orphan.app, nullptr);
}

TEST(MemoryImageTest, CopyNeverCopiesPathOrTexture) {
    std::unique_ptr<MemoryImage> image(MakeImage(2, 1, {0xFF0000FF, 0x80FFFFFF}));
    image->path = "images/tile.png";
    image->numCols = 2;
    image->animation = new CelAnimation();
    image->animation->type = CelAnimation::Loop;
    image->GetRLAlphaData();
    MemoryImage copy(*image);
    EXPECT_TRUE(copy.path.empty());
    EXPECT_EQ(copy.textureData, nullptr);
    EXPECT_EQ(copy.numCols, 2);
    ASSERT_NE(copy.animation, nullptr);
    EXPECT_NE(copy.animation, image->animation);
    EXPECT_EQ(copy.animation->type, CelAnimation::Loop);
    EXPECT_NE(copy.runLengthAlphaData, image->runLengthAlphaData);
    EXPECT_EQ(Pixels(copy), Pixels(*image));
    EXPECT_TRUE(GuardIntact(copy));
}

TEST(MemoryImageTest, CopyOfNativeOnlyImageReadsPixelsBack) {
    RecordingHost host;
    const NativePixelFormat format = NativePixelFormat::X8R8G8B8();
    host.format = &format;
    MemoryImage image(&host);
    const std::vector<uint32_t> pixels = {0xFF102030, 0xFF405060};
    image.SetBits(pixels.data(), 2, 1, true);
    image.DiscardBits();
    ASSERT_EQ(image.bits, nullptr);
    ASSERT_NE(image.nativeAlphaData, nullptr);
    MemoryImage copy(image);
    EXPECT_EQ(image.bits, nullptr);  // the source is left as it was
    EXPECT_EQ(Pixels(copy), pixels);
}

TEST(MemoryImageTest, CopyOfTextureOnlyImageReadsPixelsBack) {
    RecordingHost host;
    host.threeD = true;
    MemoryImage image(&host);
    const std::vector<uint32_t> pixels = {0xFF0A0B0C, 0x80102030, 0x00000000};
    image.SetBits(pixels.data(), 3, 1, true);
    image.textureData = reinterpret_cast<TextureData*>(&host);
    image.DiscardBits();
    ASSERT_EQ(image.bits, nullptr);
    host.texturePixels = pixels;
    MemoryImage copy(image);
    EXPECT_EQ(copy.textureData, nullptr);
    EXPECT_EQ(image.bits, nullptr);
    EXPECT_EQ(Pixels(copy), pixels);
    image.textureData = nullptr;
}

TEST(MemoryImageTest, DiscardBitsIn2DKeepsANativeCopy) {
    RecordingHost host;
    const NativePixelFormat format = NativePixelFormat::R5G6B5();
    host.format = &format;
    MemoryImage image(&host);
    const std::vector<uint32_t> pixels = {0xFFF80000, 0xFF00FC00, 0xFF0000F8, 0x00000000};
    image.SetBits(pixels.data(), 2, 2, true);
    image.DiscardBits();
    EXPECT_TRUE(image.purgeBits);
    EXPECT_EQ(image.bits, nullptr);
    // 565 keeps the top 5/6/5 bits of each channel; they come back exactly.
    EXPECT_EQ(Pixels(image), pixels);
    EXPECT_TRUE(GuardIntact(image));
}

TEST(MemoryImageTest, DiscardBitsWithoutDisplayKeepsThePixels) {
    MemoryImage image(nullptr);
    image.SetBits(std::vector<uint32_t>(4, 0xFF123456).data(), 2, 2, true);
    image.DiscardBits();
    EXPECT_TRUE(image.purgeBits);
    EXPECT_NE(image.bits, nullptr);
}

TEST(MemoryImageTest, DiscardBitsIn3DWaitsForATexture) {
    RecordingHost host;
    host.threeD = true;
    MemoryImage image(&host);
    const std::vector<uint32_t> pixels(4, 0xFF445566);
    image.SetBits(pixels.data(), 2, 2, true);
    image.DiscardBits();
    EXPECT_NE(image.bits, nullptr);
    TextureData* fakeTexture = reinterpret_cast<TextureData*>(&host);
    image.textureData = fakeTexture;
    image.DiscardBits();
    EXPECT_EQ(image.bits, nullptr);
    host.texturePixels = pixels;
    EXPECT_EQ(Pixels(image), pixels);  // read back from the texture
    image.textureData = nullptr;
    image.FreeTextureData();
    EXPECT_EQ(host.removed3D.back(), &image);
}

TEST(MemoryImageTest, RestoreAfterResetReappliesPaletteAndPurge) {
    RecordingHost host;
    const NativePixelFormat format = NativePixelFormat::X8R8G8B8();
    host.format = &format;
    MemoryImage image(&host);
    image.SetBits(std::vector<uint32_t>(4, 0xFF010203).data(), 2, 2, true);
    image.wantPalette = true;
    image.purgeBits = true;
    image.RestoreAfterReset();
    EXPECT_NE(image.colorIndices, nullptr);
    EXPECT_NE(image.nativeAlphaData, nullptr);
    EXPECT_EQ(image.bits, nullptr);
    image.FreeAllCaches();
    EXPECT_EQ(image.nativeAlphaData, nullptr);
    EXPECT_EQ(Pixels(image), std::vector<uint32_t>(4, 0xFF010203));
}

TEST(ImageTest, CelRectsAreNumberedRowByRow) {
    MemoryImage image(nullptr);
    image.Create(40, 20);
    image.numCols = 4;
    image.numRows = 2;
    EXPECT_EQ(image.GetCelWidth(), 10);
    EXPECT_EQ(image.GetCelHeight(), 10);
    EXPECT_EQ(image.GetCelRect(5), Rect(10, 10, 10, 10));
    EXPECT_EQ(image.GetCelRect(3), Rect(30, 0, 10, 10));
    image.numCols = 0;  // a broken grid must not divide by zero
    EXPECT_EQ(image.GetCelWidth(), 40);
}

TEST(CelAnimationTest, ComputeRows) {
    struct Case {
        const char* why;
        int type, frameDelay, cels, beginDelay, endDelay;
        std::vector<int> frameMap;
        std::vector<int> perFrame;
        int numCels, totalTime;
    };
    // clang-format off
    const Case cases[] = {
            {"ping-pong over 4", CelAnimation::PingPong, 10, 4, 0, 0, {0, 1, 2, 3, 2, 1}, {}, 6, 60},
            {"loop", CelAnimation::Loop, 5, 3, 0, 0, {}, {}, 3, 15},
            {"begin and end delays", CelAnimation::Once, 5, 3, 20, 30, {}, {20, 5, 30}, 3, 55},
            {"zero cels and zero delay", CelAnimation::Once, 0, 0, 0, 0, {}, {}, 1, 1},
            {"ping-pong of one cel", CelAnimation::PingPong, 2, 1, 0, 0, {}, {}, 1, 2},
            {"cels past the limit", CelAnimation::Loop, 3, 2000000000, 0, 0, {}, {}, CelAnimation::kMaxCels, 3 * CelAnimation::kMaxCels},
            {"total held at the largest int", CelAnimation::Once, 2147483647, 3, 0, 5, {}, {2147483647, 2147483647, 5}, 3, 2147483647},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        CelAnimation anim;
        anim.type = c.type;
        anim.frameDelay = c.frameDelay;
        anim.Compute(c.cels, c.beginDelay, c.endDelay);
        EXPECT_EQ(anim.frameMap, c.frameMap);
        EXPECT_EQ(anim.perFrameDelay, c.perFrame);
        EXPECT_EQ(anim.numCels, c.numCels);
        EXPECT_EQ(anim.totalTime, c.totalTime);
    }
}

TEST(SharedImageTest, HandleCountsAndPurgeFlag) {
    RecordingHost host;
    SetImageHost(&host);
    SharedImage record;
    {
        SharedImageHandle first(&record);
        EXPECT_EQ(record.refCount, 1);
        SharedImageHandle second;
        second = first;
        EXPECT_EQ(record.refCount, 2);
        second.Release();
        EXPECT_EQ(record.refCount, 1);
        EXPECT_FALSE(host.purgeNeeded);
        SharedImageHandle copy(first);
        EXPECT_EQ(record.refCount, 2);
        SharedImageHandle& same = copy;  // through a reference, which compilers do not flag
        copy = same;                     // self-assignment changes nothing
        EXPECT_EQ(record.refCount, 2);
        first = first.shared;  // re-pointing at the same record never touches 0
        EXPECT_FALSE(host.purgeNeeded);
    }
    EXPECT_EQ(record.refCount, 0);
    EXPECT_TRUE(host.purgeNeeded);
    SetImageHost(nullptr);
}

TEST(SharedImageTest, PlainImagesAreNotCountedAndOwnedOnlyWhenAsked) {
    MemoryImage plain(nullptr);
    SharedImage record;
    record.image = &plain;
    SharedImageHandle handle;
    handle = &plain;
    EXPECT_EQ(handle.GetImage(), &plain);
    EXPECT_EQ(handle.GetDDImage(), nullptr);
    handle = &record;
    EXPECT_EQ(handle.GetImage(), &plain);
    EXPECT_EQ(handle.GetDDImage(), nullptr);  // the record holds a memory image, not a surface image
    EXPECT_EQ(record.refCount, 1);
    handle.Release();

    SharedImageHandle owner;
    owner.ownsUnshared = true;
    owner = new MemoryImage(nullptr);  // deleted by Release (the sanitizer build checks)
    MemoryImage* owned = owner.GetImage();
    owner = owned;  // assigning the same image again keeps it alive
    EXPECT_EQ(owner.GetImage(), owned);
    EXPECT_EQ(owned->width, 0);
    SharedImageHandle borrowed(owner);
    EXPECT_FALSE(borrowed.ownsUnshared);
    borrowed.Release();
    owner.Release();
    EXPECT_EQ(owner.GetImage(), nullptr);
}

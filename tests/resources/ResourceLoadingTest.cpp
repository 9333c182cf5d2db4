#include "resources/ResourceManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/DDImage.h"
#include "graphics/Font.h"
#include "graphics/MemoryImage.h"
#include "resources/ImageLib.h"
#include "resources/ResourceFontMaker.h"
#include "resources/ResourceImageSource.h"
#include "resources/sound/DSoundManager.h"
#include "tests/resources/ImageFixtures.h"

namespace {

using Velm::ResourceManager;
using Velm::ResourceManagerException;

// A font stand-in: remembers how it was made.
class TestFont : public Velm::Font {
public:
    explicit TestFont(const std::string& made) : mMade(made) {}
    Velm::Font* Duplicate() override { return new TestFont(*this); }
    std::string mMade;
    std::vector<std::string> mTags;
};

class TestFontMaker : public Velm::ResourceFontMaker {
public:
    Velm::Font* MakeSysFont(const std::string& face, int pointSize, bool bold, bool, bool, bool shadow,
                            bool simulatedBold) override {
        return new TestFont("sys " + face + " " + std::to_string(pointSize) + (bold ? " bold" : "") +
                            (shadow ? " shadow" : "") + (simulatedBold ? " simbold" : ""));
    }
    Velm::Font* MakeImageFont(Velm::MemoryImage* image, const std::string& descriptionPath) override {
        return new TestFont("image " + std::to_string(image->width) + " " + descriptionPath);
    }
    Velm::Font* MakeImageFont(const std::string& descriptorPath) override {
        // A descriptor whose name says so stands for font data that did not load.
        if (descriptorPath.find("broken") != std::string::npos) return nullptr;
        return new TestFont("descriptor " + descriptorPath);
    }
    void ApplyTags(Velm::Font* font, const std::vector<std::string>& tags) override {
        static_cast<TestFont*>(font)->mTags = tags;
    }
};

std::vector<uint32_t> Solid(int width, int height, uint32_t color) {
    return std::vector<uint32_t>(size_t(width) * height, color);
}

class ResourceLoading : public ::testing::Test {
protected:
    // Writes a 32-bit TGA into the temporary folder.
    void Tga(const std::string& name, int width, int height, const std::vector<uint32_t>& pixels) {
        ASSERT_TRUE(fixtures::WriteBytes(dir.Path(name), fixtures::MakeTga(width, height, pixels)));
    }
    void Tga(const std::string& name, int width, int height, uint32_t color) {
        Tga(name, width, height, Solid(width, height, color));
    }
    // Reads a manifest whose default path is the temporary folder.
    void Manifest(const std::string& groups) {
        const std::string text = "<ResourceManifest>" + groups + "</ResourceManifest>";
        ASSERT_TRUE(manager.ParseResourcesBuffer(text, "test.xml")) << manager.GetErrorText();
    }
    std::string Group(const std::string& id, const std::string& body) {
        return "<Resources id=\"" + id + "\"><SetDefaults path=\"" + dir.Path() + "\"/>" + body + "</Resources>";
    }
    Velm::MemoryImage* Loaded(const std::string& id) {
        const ResourceManager::ImageRes* res = manager.GetImageRes(id);
        return res != nullptr ? res->mImage.GetImage() : nullptr;
    }

    fixtures::TempDir dir;
    // Declared before the manager: the manager releases its sounds into it.
    Velm::DSoundManager silent{nullptr, false};
    ResourceManager manager;
};

TEST_F(ResourceLoading, EmptyGroupLoadsAndIsMarkedLoaded) {
    Manifest(Group("Empty", ""));
    EXPECT_TRUE(manager.LoadResources("Empty"));
    EXPECT_TRUE(manager.IsGroupLoaded("Empty"));
    EXPECT_TRUE(manager.LoadResources("NoSuchGroup"));
    EXPECT_FALSE(manager.HadError());
}

TEST_F(ResourceLoading, FailureOnTheSecondImageStopsTheGroup) {
    Tga("one.tga", 2, 2, 0xFF102030u);
    Tga("three.tga", 2, 2, 0xFF405060u);
    Manifest(Group("Game",
                   "<Image id=\"ONE\" path=\"one\"/><Image id=\"TWO\" path=\"two\"/>"
                   "<Image id=\"THREE\" path=\"three\"/>"));
    EXPECT_FALSE(manager.LoadResources("Game"));
    EXPECT_TRUE(manager.HadError());
    EXPECT_EQ(manager.GetErrorText(), "Failed to load image: " + dir.Path() + "/two");
    EXPECT_NE(Loaded("ONE"), nullptr);
    EXPECT_EQ(Loaded("TWO"), nullptr);
    EXPECT_EQ(Loaded("THREE"), nullptr);
    EXPECT_FALSE(manager.IsGroupLoaded("Game"));
    // Once failed, stepping gives nothing more until the group is started again.
    EXPECT_FALSE(manager.LoadNextResource());
    EXPECT_EQ(Loaded("THREE"), nullptr);

    // Starting again clears the failure; the loaded first image is skipped.
    manager.StartLoadResources("game");
    EXPECT_FALSE(manager.HadError());
    EXPECT_FALSE(manager.LoadNextResource());
    EXPECT_EQ(manager.GetErrorText(), "Failed to load image: " + dir.Path() + "/two");
}

TEST_F(ResourceLoading, StepwiseLoadingMatchesTheCountOfTheGroup) {
    Tga("a.tga", 1, 1, 0xFF000000u);
    Manifest(Group("Game",
                   "<Image id=\"A\" path=\"a\"/><Image id=\"B\" path=\"a\" variant=\"v\"/>"
                   "<Image id=\"PROG\" path=\"!program\"/><Sound id=\"S\" path=\"click\"/>") +
             Group("Other", "<Image id=\"C\" path=\"a\"/>"));
    manager.SetSoundManager(&silent);
    EXPECT_EQ(manager.GetNumResources("Game"), 3);
    EXPECT_EQ(manager.GetNumResources("Other"), 1);
    // The empty name counts its own group (which holds nothing), not every group.
    EXPECT_EQ(manager.GetNumResources(""), 0);

    manager.StartLoadResources("Game");
    int steps = 0;
    while (manager.LoadNextResource()) ++steps;
    EXPECT_EQ(steps, 3);
    EXPECT_FALSE(manager.HadError());
    EXPECT_FALSE(manager.IsGroupLoaded("Game"));  // stepping alone does not mark it
    EXPECT_EQ(Loaded("PROG"), nullptr);
    EXPECT_EQ(Loaded("C"), nullptr);
}

TEST_F(ResourceLoading, LookupsThrowForWhatIsNotLoadedAndGetImageLoadsOnDemand) {
    Tga("logo.tga", 3, 2, 0xFF112233u);
    Manifest(Group("Init",
                   "<Image id=\"LOGO\" path=\"logo\"/><Image id=\"PROG\" path=\"!program\"/>"
                   "<Sound id=\"CLICK\" path=\"click\"/><Font id=\"F\" path=\"f.txt\"/>"));
    try {
        manager.GetImageThrow("LOGO");
        FAIL() << "no exception";
    } catch (const ResourceManagerException& e) {
        EXPECT_EQ(e.mText, "Image resource not found: LOGO");
    }
    EXPECT_TRUE(manager.HadError());

    Velm::SharedImageHandle handle = manager.GetImage("LOGO");
    ASSERT_NE(handle.GetImage(), nullptr);
    EXPECT_EQ(handle.GetImage()->width, 3);
    EXPECT_EQ(manager.GetImageThrow("LOGO").GetImage(), handle.GetImage());

    EXPECT_EQ(manager.GetImage("NOPE").GetImage(), nullptr);
    EXPECT_EQ(manager.GetImage("PROG").GetImage(), nullptr);  // made by the program, never loaded

    manager.StartLoadResources("Init");  // clears the recorded failure
    struct Case {
        const char* why;
        std::function<void()> lookup;
        const char* text;
    };
    const Case cases[] = {
            {"sound", [&] { manager.GetSoundThrow("CLICK"); }, "Sound resource not found: CLICK"},
            {"font", [&] { manager.GetFontThrow("F"); }, "Font resource not found: F"},
            {"undefined image", [&] { manager.GetImageThrow("X"); }, "Image resource not found: X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        manager.StartLoadResources("Init");
        try {
            c.lookup();
            ADD_FAILURE() << "no exception";
        } catch (const ResourceManagerException& e) {
            EXPECT_EQ(e.mText, c.text);
        }
    }
    EXPECT_EQ(manager.GetFont("F"), nullptr);
}

TEST_F(ResourceLoading, AlphaImageGivesItsBlueBytesAsAlphaAndMustMatchInSize) {
    Tga("pic.tga", 2, 1, {0xFF102030u, 0xFF405060u});
    Tga("mask.tga", 2, 1, {0xFF0000AAu, 0xFFFFFF11u});
    Tga("narrow.tga", 1, 1, 0xFF000000u);
    Manifest(Group("Good", "<Image id=\"P\" path=\"pic\" alphaimage=\"mask\" nopal />") +
             Group("Bad", "<Image id=\"Q\" path=\"pic\" variant=\"b\" alphaimage=\"narrow\"/>"));
    ASSERT_TRUE(manager.LoadResources("Good")) << manager.GetErrorText();
    uint32_t* bits = Loaded("P")->GetBits();
    EXPECT_EQ(bits[0], 0xAA102030u);
    EXPECT_EQ(bits[1], 0x11405060u);

    EXPECT_FALSE(manager.LoadResources("Bad"));
    EXPECT_EQ(manager.GetErrorText(),
              "AlphaImage size mismatch between " + dir.Path() + "/pic and " + dir.Path() + "/narrow");
    EXPECT_EQ(Loaded("Q"), nullptr);
}

TEST_F(ResourceLoading, AlphaGridCoversEveryCell) {
    // 64 x 32 in 2 rows of 4 cels: the grid is one 16 x 16 cel.
    Tga("sheet.tga", 64, 32, 0xFF336699u);
    std::vector<uint32_t> grid;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) grid.push_back(0xFF000000u | uint32_t(x * 16 + y));
    }
    Tga("grid.tga", 16, 16, grid);
    Tga("wrong.tga", 16, 15, 0xFF000000u);
    Tga("whole.tga", 64, 32, 0xFF000080u);
    Manifest(Group("Good", "<Image id=\"S\" path=\"sheet\" rows=\"2\" cols=\"4\" alphagrid=\"grid\" nopal />") +
             Group("Zero",
                   "<Image id=\"Z\" path=\"sheet\" variant=\"z\" rows=\"0\" cols=\"0\" alphagrid=\"whole\" "
                   "nopal />") +
             Group("Bad", "<Image id=\"W\" path=\"sheet\" variant=\"w\" rows=\"2\" cols=\"4\" alphagrid=\"wrong\"/>"));
    ASSERT_TRUE(manager.LoadResources("Good")) << manager.GetErrorText();
    Velm::MemoryImage* sheet = Loaded("S");
    EXPECT_EQ(sheet->numRows, 2);
    EXPECT_EQ(sheet->numCols, 4);
    const uint32_t* bits = sheet->GetBits();
    for (int cel = 0; cel < 8; ++cel) {
        SCOPED_TRACE(cel);
        const int left = (cel % 4) * 16, top = (cel / 4) * 16;
        for (int y = 0; y < 16; y += 5) {
            for (int x = 0; x < 16; x += 3) {
                EXPECT_EQ(bits[(top + y) * 64 + left + x], (uint32_t(x * 16 + y) << 24) | 0x336699u);
            }
        }
    }

    // Rows and cols of 0 count as 1: the grid is the whole image.
    ASSERT_TRUE(manager.LoadResources("Zero")) << manager.GetErrorText();
    EXPECT_EQ(Loaded("Z")->GetBits()[64 * 32 - 1], 0x80336699u);

    EXPECT_FALSE(manager.LoadResources("Bad"));
    EXPECT_EQ(manager.GetErrorText(),
              "GridAlphaImage size mismatch between " + dir.Path() + "/sheet and " + dir.Path() + "/wrong");
}

TEST_F(ResourceLoading, DeleteThenReloadLoadsTheGroupAgain) {
    Tga("pic.tga", 2, 2, 0xFF010203u);
    Tga("mask.tga", 2, 2, 0xFF000040u);
    Manifest(Group("Game", "<Image id=\"P\" path=\"pic\" alphaimage=\"mask\" nopal />") +
             Group("Keep", "<Image id=\"K\" path=\"pic\" variant=\"k\"/>"));
    ASSERT_TRUE(manager.LoadResources("Game"));
    ASSERT_TRUE(manager.LoadResources("Keep"));
    manager.DeleteResources("Game");
    EXPECT_EQ(Loaded("P"), nullptr);
    EXPECT_NE(Loaded("K"), nullptr);  // other groups stay
    EXPECT_FALSE(manager.IsGroupLoaded("Game"));
    EXPECT_TRUE(manager.IsGroupLoaded("Keep"));

    ASSERT_TRUE(manager.LoadResources("Game")) << manager.GetErrorText();
    ASSERT_NE(Loaded("P"), nullptr);
    EXPECT_EQ(Loaded("P")->GetBits()[3], 0x40010203u);  // read again, alpha applied again
    EXPECT_TRUE(manager.IsGroupLoaded("Game"));

    manager.DeleteResources("");  // every record
    EXPECT_EQ(Loaded("P"), nullptr);
    EXPECT_EQ(Loaded("K"), nullptr);
}

TEST_F(ResourceLoading, ImageOptionsReachTheImage) {
    Tga("pic.tga", 4, 1, {0xFF000001u, 0xFF000002u, 0xFF000001u, 0xFF000002u});
    Manifest(Group("G",
                   "<Image id=\"A\" path=\"pic\" a4r4g4b4 minsubdivide rows=\"1\" cols=\"4\" anim=\"loop\" "
                   "framedelay=\"3\"/>"
                   "<Image id=\"B\" path=\"pic\" variant=\"x\" nopal a8r8g8b8 />"
                   "<Image id=\"C\" path=\"pic\" cols=\"4\"/>"));
    ASSERT_TRUE(manager.LoadResources("G")) << manager.GetErrorText();
    Velm::MemoryImage* a = Loaded("A");
    EXPECT_NE(a->colorIndices, nullptr);  // palettised unless "nopal"
    EXPECT_EQ(a->flags, Velm::ImageFlag_UseA4R4G4B4 | Velm::ImageFlag_MinimizeNumSubdivisions);
    ASSERT_NE(a->animation, nullptr);
    EXPECT_EQ(a->animation->type, Velm::CelAnimation::Loop);
    EXPECT_EQ(a->animation->frameDelay, 3);
    EXPECT_EQ(a->numCols, 4);
    Velm::MemoryImage* b = Loaded("B");
    EXPECT_EQ(b->colorIndices, nullptr);
    EXPECT_EQ(b->flags, Velm::ImageFlag_UseA8R8G8B8);
    EXPECT_EQ(b->animation, nullptr);
    // The same path and variant share one image (the last record loaded sets
    // its cel grid).
    EXPECT_EQ(Loaded("C"), a);
    EXPECT_NE(b, a);
}

TEST_F(ResourceLoading, AlphaColourColoursACompanionOnlyImageForThatLoadOnly) {
    Tga("_ghost.tga", 1, 1, 0xFF000080u);
    Manifest(Group("G", "<Image id=\"G\" path=\"ghost\" alphacolor=\"ff0000\" nopal />"));
    ASSERT_TRUE(manager.LoadResources("G")) << manager.GetErrorText();
    EXPECT_EQ(Loaded("G")->GetBits()[0], 0x80FF0000u);
    EXPECT_EQ(ImageLib::gAlphaColor.load(), 0xFFFFFFu);
}

TEST_F(ResourceLoading, FontsThroughTheMakerAndReferences) {
    Tga("glyphs.tga", 8, 8, 0xFFFFFFFFu);
    TestFontMaker maker;
    manager.SetFontMaker(&maker);
    Manifest(Group("Early", "<Font id=\"COPY\" path=\"!ref:MAIN\" tags=\"a, b\"/>") +
             Group("Fonts",
                   "<Font id=\"MAIN\" path=\"main.txt\" tags=\"red,big\tsmall\"/>"
                   "<Font id=\"COPY2\" path=\"!ref:MAIN\"/>"
                   "<Font id=\"SYS\" path=\"!sys:Arial\" size=\"12\" bold shadow />"
                   "<Font id=\"PIC\" path=\"glyphs.txt\" image=\"" +
                           dir.Path("glyphs") + "\"/>") +
             Group("Broken", "<Font id=\"BAD\" path=\"broken.txt\"/>") +
             Group("NoPicture", "<Font id=\"NOPIC\" path=\"x.txt\" image=\"" + dir.Path("none") + "\"/>"));

    // A reference whose target is not loaded yet fails.
    EXPECT_FALSE(manager.LoadResources("Early"));
    EXPECT_EQ(manager.GetErrorText(), "Ref font not found: MAIN");

    ASSERT_TRUE(manager.LoadResources("Fonts")) << manager.GetErrorText();
    TestFont* main = static_cast<TestFont*>(manager.GetFont("MAIN"));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->mMade, "descriptor " + dir.Path() + "/main.txt");
    EXPECT_EQ(main->mTags, (std::vector<std::string>{"red", "big", "small"}));
    TestFont* copy = static_cast<TestFont*>(manager.GetFont("COPY2"));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, main);
    EXPECT_EQ(copy->mMade, main->mMade);
    EXPECT_EQ(static_cast<TestFont*>(manager.GetFontThrow("SYS"))->mMade, "sys Arial 12 bold shadow");
    EXPECT_EQ(static_cast<TestFont*>(manager.GetFont("PIC"))->mMade, "image 8 " + dir.Path() + "/glyphs.txt");
    ASSERT_NE(manager.GetFontRes("PIC")->mImage, nullptr);

    // Now the target is loaded, the early reference loads as well.
    ASSERT_TRUE(manager.LoadResources("Early")) << manager.GetErrorText();
    EXPECT_EQ(static_cast<TestFont*>(manager.GetFont("COPY"))->mTags, (std::vector<std::string>{"a", "b"}));

    EXPECT_FALSE(manager.LoadResources("Broken"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load font: " + dir.Path() + "/broken.txt");
    EXPECT_FALSE(manager.LoadResources("NoPicture"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load image: " + dir.Path("none"));

    manager.DeleteResources("Fonts");
    EXPECT_EQ(manager.GetFont("MAIN"), nullptr);
    EXPECT_EQ(manager.GetFontRes("PIC")->mImage, nullptr);
    EXPECT_NE(manager.GetFont("COPY"), nullptr);  // a duplicate lives on its own
}

TEST_F(ResourceLoading, FontsWithoutAMakerFailExceptReferences) {
    Manifest(Group("G", "<Font id=\"SYS\" path=\"!sys:Arial\" size=\"10\"/>"));
    EXPECT_FALSE(manager.LoadResources("G"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load font: !sys:Arial");
}

TEST_F(ResourceLoading, SoundsLoadIntoTheSilentSoundManager) {
    Manifest(Group("Sounds",
                   "<Sound id=\"CLICK\" path=\"sounds/click\" volume=\"0.5\" pan=\"-200\"/>"
                   "<Sound id=\"BOOM\" path=\"sounds/boom\"/>"));
    // Without a sound manager, sounds cannot load.
    EXPECT_FALSE(manager.LoadResources("Sounds"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load sound: " + dir.Path() + "/sounds/click");

    manager.SetSoundManager(&silent);
    ASSERT_TRUE(manager.LoadResources("Sounds")) << manager.GetErrorText();
    EXPECT_GE(manager.GetSoundThrow("CLICK"), 0);
    EXPECT_GE(manager.GetSoundThrow("BOOM"), 0);
    EXPECT_EQ(silent.GetNumSounds(), 0);  // nothing is really loaded
    manager.DeleteResources("Sounds");
    EXPECT_EQ(manager.GetSoundRes("CLICK")->mSoundId, -1);
    ASSERT_TRUE(manager.LoadResources("Sounds"));
}

// An application-like image source: display images, each path read once.
class DisplayImageSource : public Velm::ResourceImageSource {
public:
    ~DisplayImageSource() override {
        for (auto& record : mRecords) delete record->image;
    }
    Velm::SharedImageHandle GetSharedImage(const std::string& path, const std::string&, bool* isNew) override {
        for (auto& record : mRecords) {
            if (record->image->path == path) {
                *isNew = false;
                return Velm::SharedImageHandle(record.get());
            }
        }
        Velm::MemoryImage* read = mFiles.GetImage(path, true);
        if (read == nullptr) return Velm::SharedImageHandle();
        Velm::DDImage* image = new Velm::DDImage(nullptr);
        image->path = path;
        image->SetBits(read->GetBits(), read->width, read->height);
        delete read;
        mRecords.emplace_back(new Velm::SharedImage);
        mRecords.back()->image = image;
        *isNew = true;
        return Velm::SharedImageHandle(mRecords.back().get());
    }
    Velm::MemoryImage* GetImage(const std::string& path, bool commitBits) override {
        return mFiles.GetImage(path, commitBits);
    }

    Velm::MemoryImageCache mFiles;
    std::vector<std::unique_ptr<Velm::SharedImage>> mRecords;
};

TEST_F(ResourceLoading, AnImageSourceOfTheApplicationAndDisplaySurfaceWishes) {
    Tga("opaque.tga", 2, 2, 0xFF808080u);
    Tga("mask.tga", 2, 2, 0xFF000010u);
    Tga("other.tga", 2, 2, 0xFF000020u);
    DisplayImageSource source;
    manager.SetImageSource(&source);
    Manifest(Group("G",
                   "<Image id=\"A\" path=\"opaque\" ddsurface nopal />"
                   "<Image id=\"M\" path=\"mask\" nopal />"
                   "<Image id=\"B\" path=\"mask\" alphaimage=\"other\" nopal />"));
    ASSERT_TRUE(manager.LoadResources("G")) << manager.GetErrorText();
    Velm::DDImage* a = dynamic_cast<Velm::DDImage*>(Loaded("A"));
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->mWantDDSurface);  // opaque: may live in a display surface
    EXPECT_TRUE(a->purgeBits);
    // B shares the image M loaded: not new, so its alpha image is not applied.
    EXPECT_EQ(Loaded("B"), Loaded("M"));
    EXPECT_EQ(Loaded("B")->GetBits()[0], 0xFF000010u);
    manager.DeleteResources("G");
    manager.SetImageSource(nullptr);  // back to the manager's own cache
}

TEST(SilentSoundManager, KeepsIdsFreeAndRefusesIdsOutOfRange) {
    Velm::DSoundManager silent(nullptr, false);
    EXPECT_TRUE(silent.LoadSound(5, "sounds/click"));
    EXPECT_EQ(silent.GetNumSounds(), 0);
    EXPECT_EQ(silent.GetFreeSoundId(), 0);
    EXPECT_FALSE(silent.LoadSound(256, "x"));
    EXPECT_FALSE(silent.SetBaseVolume(256, 0.5));
    EXPECT_TRUE(silent.SetBaseVolume(255, 0.5));
    EXPECT_FALSE(silent.SetBasePan(256, 10));
    silent.ReleaseSound(300);  // out of range: nothing
    // A silent manager still hands out silent instances while a channel is free.
    Velm::SoundInstance* instance = silent.GetSoundInstance(1);
    ASSERT_NE(instance, nullptr);
    EXPECT_FALSE(instance->Play(false, true));
}

}  // namespace

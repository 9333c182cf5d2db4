#include "resources/ResourceManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resources/pack/PakInterface.h"
#include "resources/pack/PakWriter.h"

namespace {

using Velm::CelAnimation;
using Velm::ResourceManager;

std::string Manifest(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<ResourceManifest>\n" + body + "\n</ResourceManifest>\n";
}

TEST(ResourceManifestTest, PathsIdsAndDefaults) {
    ResourceManager manager;
    const std::string text = Manifest(
            "<Resources id=\"Init\">\n"
            "  <SetDefaults path=\"data\\\"/>\n"
            "  <Image path=\"images/tile\"/>\n"
            "  <Image path=\"images/a.b.png\"/>\n"
            "  <Image path=\"!abs/raw.png\" id=\"RAW\"/>\n"
            "  <SetDefaults path=\"gfx/\" idprefix=\"IMAGE_\\\"/>\n"
            "  <Image path=\"logo.jpg\" id=\"LOGO\" custom=\"kept\"/>\n"
            "  <Sound path=\"!program\" id=\"MADE\"/>\n"
            "  <SetDefaults path=\"\" idprefix=\"\"/>\n"
            "  <Sound path=\"sounds/click.ogg\"/>\n"
            "</Resources>");
    ASSERT_TRUE(manager.ParseResourcesBuffer(text, "resources.xml")) << manager.GetErrorText();

    struct Case {
        const char* id;
        const char* path;
    };
    const Case images[] = {
            {"tile", "data/images/tile"},
            {"a.b", "data/images/a.b.png"},
            {"RAW", "!abs/raw.png"},
            {"IMAGE_LOGO", "gfx/logo.jpg"},
    };
    for (const Case& c : images) {
        SCOPED_TRACE(c.id);
        const ResourceManager::ImageRes* res = manager.GetImageRes(c.id);
        ASSERT_NE(res, nullptr);
        EXPECT_EQ(res->mPath, c.path);
        EXPECT_EQ(res->mResGroup, "Init");
        EXPECT_EQ(res->mType, ResourceManager::ResType_Image);
    }
    EXPECT_EQ(manager.GetImageRes("IMAGE_LOGO")->mXMLAttributes.at("custom"), "kept");
    EXPECT_TRUE(manager.GetSoundRes("IMAGE_MADE")->mFromProgram);
    EXPECT_EQ(manager.GetSoundRes("click")->mPath, "sounds/click.ogg");
    EXPECT_EQ(manager.GetImageRes("logo"), nullptr);  // ids are case-sensitive

    const ResourceManager::ResList* list = manager.GetGroupList("INIT");
    ASSERT_NE(list, nullptr);
    std::vector<std::string> order;
    for (const ResourceManager::BaseRes* res : *list) order.push_back(res->mId);
    EXPECT_EQ(order, (std::vector<std::string>{"tile", "a.b", "RAW", "IMAGE_LOGO", "IMAGE_MADE", "click"}));
}

std::string Repeated(const std::string& part, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += part;
    return out;
}

TEST(ResourceManifestTest, ImageAttributes) {
    ResourceManager manager;
    manager.SetIs3DAcceleratedQuery([] { return true; });
    const std::string text = Manifest(
            "<Resources id=\"Game\">\n"
            "  <SetDefaults path=\"img\"/>\n"
            "  <Image path=\"plain\"/>\n"
            "  <Image path=\"full\" alphaimage=\"full_a\" alphacolor=\"ff8000\" alphagrid=\"grid\" variant=\"v2\"\n"
            "         rows=\"2\" cols=\"4\" nopal a4r4g4b4 a8r8g8b8 ddsurface minsubdivide nobits3d />\n"
            "  <Image path=\"soft\" nobits2d />\n"
            "  <Image path=\"always\" nobits />\n"
            "  <Image path=\"zero\" rows=\"0\" cols=\"x\"/>\n"
            "  <Image path=\"pp\" anim=\"PingPong\" cols=\"3\" framedelay=\"5\"/>\n"
            "  <Image path=\"once\" anim=\"once\" rows=\"3\" perframedelay=\"1,2,3\" begindelay=\"9\"/>\n"
            "  <Image path=\"map\" anim=\"loop\" cols=\"2\" framemap=\"1,0,1\" enddelay=\"7\"/>\n"
            "  <Image path=\"still\" anim=\"none\" cols=\"2\"/>\n"
            "</Resources>");
    ASSERT_TRUE(manager.ParseResourcesBuffer(text, "m.xml")) << manager.GetErrorText();

    const ResourceManager::ImageRes* plain = manager.GetImageRes("plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(plain->mPalletize);
    EXPECT_FALSE(plain->mPurgeBits);
    EXPECT_EQ(plain->mAlphaColor, 0xFFFFFFu);
    EXPECT_EQ(plain->mRows, 1);
    EXPECT_EQ(plain->mCols, 1);
    EXPECT_EQ(plain->mAnimInfo.type, CelAnimation::None);

    const ResourceManager::ImageRes* full = manager.GetImageRes("full");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->mAlphaImage, "img/full_a");
    EXPECT_EQ(full->mAlphaGridImage, "img/grid");
    EXPECT_EQ(full->mVariant, "v2");
    EXPECT_EQ(full->mAlphaColor, 0xFF8000u);
    EXPECT_EQ(full->mRows, 2);
    EXPECT_EQ(full->mCols, 4);
    EXPECT_FALSE(full->mPalletize);
    EXPECT_TRUE(full->mA4R4G4B4);
    EXPECT_TRUE(full->mA8R8G8B8);
    EXPECT_TRUE(full->mDDSurface);
    EXPECT_TRUE(full->mMinimizeSubdivisions);
    EXPECT_TRUE(full->mPurgeBits);                          // nobits3d with 3D on
    EXPECT_FALSE(manager.GetImageRes("soft")->mPurgeBits);  // nobits2d with 3D on
    EXPECT_TRUE(manager.GetImageRes("always")->mPurgeBits);

    const ResourceManager::ImageRes* zero = manager.GetImageRes("zero");
    EXPECT_EQ(zero->mRows, 1);
    EXPECT_EQ(zero->mCols, 1);

    const CelAnimation& pp = manager.GetImageRes("pp")->mAnimInfo;
    EXPECT_EQ(pp.type, CelAnimation::PingPong);
    EXPECT_EQ(pp.frameDelay, 5);
    EXPECT_EQ(pp.frameMap, (std::vector<int>{0, 1, 2, 1}));
    const CelAnimation& once = manager.GetImageRes("once")->mAnimInfo;
    EXPECT_EQ(once.type, CelAnimation::Once);
    EXPECT_EQ(once.perFrameDelay, (std::vector<int>{9, 2, 3}));
    const CelAnimation& map = manager.GetImageRes("map")->mAnimInfo;
    EXPECT_EQ(map.type, CelAnimation::Loop);
    EXPECT_EQ(map.frameMap, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(map.perFrameDelay.back(), 7);
    EXPECT_EQ(manager.GetImageRes("still")->mAnimInfo.type, CelAnimation::None);

    ResourceManager software;
    ASSERT_TRUE(software.ParseResourcesBuffer(text, "m.xml"));
    EXPECT_FALSE(software.GetImageRes("full")->mPurgeBits);
    EXPECT_TRUE(software.GetImageRes("soft")->mPurgeBits);
}

TEST(ResourceManifestTest, SoundsFontsAndGroups) {
    ResourceManager manager;
    const std::string text = Manifest(
            "<Resources id=\"Game\">\n"
            "  <Sound path=\"s/a.wav\" volume=\"0.25\" pan=\"-300\"/>\n"
            "  <Sound path=\"s/b.wav\"/>\n"
            "  <Font path=\"!sys:Arial\" id=\"SYS\" size=\"12\" bold shadow />\n"
            "  <Font path=\"fonts/big.txt\" image=\"fonts/big.png\" tags=\"a, b\"/>\n"
            "  <Font path=\"!ref:SYS\" id=\"COPY\"/>\n"
            "</Resources>\n"
            "<Resources id=\"game\">\n"
            "  <Image path=\"x\"/>\n"
            "</Resources>");
    ASSERT_TRUE(manager.ParseResourcesBuffer(text, "m.xml")) << manager.GetErrorText();
    const ResourceManager::SoundRes* a = manager.GetSoundRes("a");
    ASSERT_NE(a, nullptr);
    EXPECT_DOUBLE_EQ(a->mVolume, 0.25);
    EXPECT_EQ(a->mPanning, -300);
    EXPECT_EQ(a->mSoundId, -1);
    EXPECT_DOUBLE_EQ(manager.GetSoundRes("b")->mVolume, -1);
    EXPECT_EQ(manager.GetSoundRes("b")->mPanning, 0);

    const ResourceManager::FontRes* sys = manager.GetFontRes("SYS");
    ASSERT_NE(sys, nullptr);
    EXPECT_TRUE(sys->mSysFont);
    EXPECT_EQ(sys->mSize, 12);
    EXPECT_TRUE(sys->mBold);
    EXPECT_TRUE(sys->mShadow);
    EXPECT_FALSE(sys->mItalic);
    EXPECT_EQ(sys->mPath, "!sys:Arial");
    const ResourceManager::FontRes* big = manager.GetFontRes("big");
    ASSERT_NE(big, nullptr);
    EXPECT_FALSE(big->mSysFont);
    EXPECT_EQ(big->mImagePath, "fonts/big.png");
    EXPECT_EQ(big->mTags, "a, b");
    EXPECT_EQ(manager.GetFontRes("COPY")->mPath, "!ref:SYS");

    const ResourceManager::ResList* group = manager.GetGroupList("GAME");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->size(), 6u);
    EXPECT_EQ(group->back()->mResGroup, "game");
    EXPECT_EQ(group->front()->mResGroup, "Game");
    EXPECT_EQ(manager.GetGroupList("Init"), nullptr);
}

TEST(ResourceManifestTest, ErrorRows) {
    struct Case {
        const char* why;
        std::string text;
        const char* error;
    };
    // clang-format off
    const Case cases[] = {
                {"no start tag", "", "Expecting ResourceManifest tag on Line 1 in File 'm.xml'"},
                {"other first tag", "\n<Manifest/>", "Expecting ResourceManifest tag on Line 2 in File 'm.xml'"},
                {"group without id", Manifest("<Resources>\n</Resources>"), "No id specified. on Line 3 in File 'm.xml'"},
                {"group with empty id", Manifest("<Resources id=\"\"/>"), "No id specified. on Line 3 in File 'm.xml'"},
                {"unknown section at top", Manifest("<Images/>"), "Invalid Section 'Images' on Line 3 in File 'm.xml'"},
                {"text at top", Manifest("junk"), "Element Not Expected 'junk' on Line 4 in File 'm.xml'"},
                {"unknown element in group", Manifest("<Resources id=\"g\"><Music path=\"m\"/></Resources>"),
                 "Invalid Section 'Music' on Line 3 in File 'm.xml'"},
                {"text in group", Manifest("<Resources id=\"g\">text</Resources>"),
                 "Element Not Expected 'text' on Line 3 in File 'm.xml'"},
                {"child inside a resource", Manifest("<Resources id=\"g\"><Image path=\"a\"><x/></Image></Resources>"),
                 "Unexpected element found. on Line 3 in File 'm.xml'"},
                {"text inside a resource", Manifest("<Resources id=\"g\"><Image path=\"a\">t</Image></Resources>"),
                 "Unexpected element found. on Line 3 in File 'm.xml'"},
                {"missing path", Manifest("<Resources id=\"g\"><Sound id=\"s\"/></Resources>"),
                 "No path specified. on Line 3 in File 'm.xml'"},
                {"empty path", Manifest("<Resources id=\"g\"><Font path=\"\"/></Resources>"),
                 "No path specified. on Line 3 in File 'm.xml'"},
                {"duplicate id",
                 Manifest("<Resources id=\"g\">\n<Image path=\"a/x\"/>\n<Image path=\"b/x.png\"/>\n</Resources>"),
                 "Resource already defined. on Line 5 in File 'm.xml'"},
                {"bad animation", Manifest("<Resources id=\"g\"><Image path=\"a\" anim=\"bounce\"/></Resources>"),
                 "Invalid animation type. on Line 3 in File 'm.xml'"},
                {"rows past the limit", Manifest("<Resources id=\"g\"><Image path=\"a\" rows=\"4097\"/></Resources>"),
                 "Too many rows (at most 4096). on Line 3 in File 'm.xml'"},
                {"cols past the limit",
                 Manifest("<Resources id=\"g\"><Image path=\"a\" cols=\"99999999999\"/></Resources>"),
                 "Too many cols (at most 4096). on Line 3 in File 'm.xml'"},
                {"frame map past the limit",
                 Manifest("<Resources id=\"g\"><Image path=\"a\" anim=\"loop\" framemap=\"0" + Repeated(",0", 8192) +
                          "\"/></Resources>"),
                 "Too many framemap (at most 8192). on Line 3 in File 'm.xml'"},
                {"delays past the limit",
                 Manifest("<Resources id=\"g\"><Image path=\"a\" anim=\"once\" perframedelay=\"1" + Repeated(",1", 8192) +
                          "\"/></Resources>"),
                 "Too many perframedelay (at most 8192). on Line 3 in File 'm.xml'"},
                // Found by the manifest fuzz target: a ping-pong over two billion cels asked for
                // gigabytes before the reader refused such grids.
                {"huge ping-pong sheet",
                 "<?xml version=\"1.0\"?>\n<ResourceManifest>\n  <Resources id=\"Init\">\n"
                 "    <SetDefaults path=\"images\" idprefix=\"IMAGE_\"/>\n"
                 "    <Image id=\"LOGO\" path=\"logo\" alphacolor=\"FFFFFF\" "
                 "rows=\"2000000000000000000000000000000000000000000000000000\" cols=\"3\" anim=\"PingPong\" "
                 "framedelay=\"5\"/>\n"
                 "    <Sound id=\"CLICK\" path=\"click\" volume=\"0.5\" pan=\"10\"/>\n    ceManifest>\n",
                 "Too many rows (at most 4096). on Line 5 in File 'm.xml'"},
                {"system font without size", Manifest("<Resources id=\"g\"><Font path=\"!sys:Arial\"/></Resources>"),
                 "SysFont needs point size on Line 3 in File 'm.xml'"},
                {"system font size 0", Manifest("<Resources id=\"g\"><Font path=\"!sys:Arial\" size=\"0\"/></Resources>"),
                 "SysFont needs point size on Line 3 in File 'm.xml'"},
                {"XML error", Manifest("<Resources id=\"g\"></Resource>"),
                 "End 'Resource' Doesn't Match Start 'Resources' on Line 3 in File 'm.xml'"},
                {"truncated manifest", "<ResourceManifest>\n<Resources id=\"g\">\n<Image path=\"a\"/>\n",
                 "Unexpected End of File on Line 4 in File 'm.xml'"},
                {"cut inside a tag", "<ResourceManifest>\n<Resources id=\"g\">\n<Image path=",
                 "Unexpected End of File on Line 3 in File 'm.xml'"},
                {"binary junk", std::string("\x01\x02\xff", 3), "Illegal Character on Line 1 in File 'm.xml'"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ResourceManager manager;
        EXPECT_FALSE(manager.ParseResourcesBuffer(c.text, "m.xml"));
        EXPECT_TRUE(manager.HadError());
        EXPECT_EQ(manager.GetErrorText(), c.error);
    }
}

TEST(ResourceManifestTest, SheetAtTheLimits) {
    ResourceManager manager;
    const std::string text = Manifest(
            "<Resources id=\"g\">\n"
            "<Image path=\"pp\" rows=\"4096\" cols=\"4096\" anim=\"pingpong\""
            " framedelay=\"2147483647\"/>\n"
            "<Image path=\"map\" anim=\"loop\" framemap=\"1" +
            Repeated(",1", 8191) + "\" perframedelay=\"2" + Repeated(",2", 8191) + "\"/>\n</Resources>");
    ASSERT_TRUE(manager.ParseResourcesBuffer(text, "m.xml")) << manager.GetErrorText();
    const CelAnimation& pp = manager.GetImageRes("pp")->mAnimInfo;
    EXPECT_EQ(pp.frameMap.size(), 2u * 4096 - 2);
    EXPECT_EQ(pp.numCels, 2 * 4096 - 2);
    EXPECT_EQ(pp.totalTime, 2147483647);  // held at the largest int rather than wrapping
    const CelAnimation& map = manager.GetImageRes("map")->mAnimInfo;
    EXPECT_EQ(map.numCels, 8192);
    EXPECT_EQ(map.totalTime, 2 * 8192);
}

TEST(ResourceManifestTest, FirstErrorWinsAndEarlierRecordsStay) {
    ResourceManager manager;
    EXPECT_FALSE(manager.ParseResourcesBuffer(Manifest("<Resources id=\"g\"><Image path=\"a\"/><Image path=\"b\" "
                                                       "anim=\"x\"/><Image path=\"c\"/></Resources>"),
                                              "m.xml"));
    EXPECT_NE(manager.GetImageRes("a"), nullptr);
    EXPECT_NE(manager.GetImageRes("b"), nullptr);  // inserted before its animation failed
    EXPECT_EQ(manager.GetImageRes("c"), nullptr);
    manager.Fail("second");
    EXPECT_EQ(manager.GetErrorText(), "Invalid animation type. on Line 3 in File 'm.xml'");
}

TEST(ResourceManifestTest, FileThroughThePack) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "velm_manifest_pack";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::string pak;
    ASSERT_TRUE(BuildPak({{"properties\\resources.xml",
                           Manifest("<Resources id=\"Init\">\r\n<Image path=\"images/logo\"/>\r\n</Resources>"), 0}},
                         pak));
    std::ofstream(dir / "main.pak", std::ios::binary) << pak;
    {
        ResourceManager missing;
        EXPECT_FALSE(missing.ParseResourcesFile("properties\\resources.xml"));
        EXPECT_EQ(missing.GetErrorText(), "Resource file not found: properties\\resources.xml");
    }
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile((dir / "main.pak").string()));
    ResourceManager manager;
    EXPECT_TRUE(manager.ParseResourcesFile("properties\\resources.xml")) << manager.GetErrorText();
    EXPECT_NE(manager.GetImageRes("logo"), nullptr);
    fs::remove_all(dir);
}

}  // namespace

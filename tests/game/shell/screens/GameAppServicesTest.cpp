// The game application's start-up pieces: construction defaults, the program's content
// folder and command line, the bonus settings, the bind steps' resource source, the image
// manager of the sprite sheets and the sound entry without a sound system.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/anim/EngineHooks.h"
#include "engine/util/IniFile.h"
#include "game/shell/BonusSettings.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/screens/AppResourceSource.h"
#include "game/shell/screens/ImagesManager.h"
#include "game/shell/screens/ProgramEntry.h"
#include "graphics/MemoryImage.h"
#include "resources/ResourceManager.h"
#include "tests/game/shell/screens/GameAppTestSupport.h"

namespace {

using gameapptest::CallLog;
using gameapptest::ContentFolderScope;
using gameapptest::TestGameApp;
using Velm::GameApp;

// A 32-bit top-left TGA of one colour.
bool WriteTga(const std::string& path, int width, int height, uint32_t argb) {
    std::ofstream out(path, std::ios::binary);
    // clang-format off
    const unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      static_cast<unsigned char>(width), static_cast<unsigned char>(width >> 8),
                                      static_cast<unsigned char>(height), static_cast<unsigned char>(height >> 8),
                                      32, 0x28};
    // clang-format on
    out.write(reinterpret_cast<const char*>(header), sizeof(header));
    for (int i = 0; i < width * height; ++i) {
        const unsigned char bgra[4] = {static_cast<unsigned char>(argb), static_cast<unsigned char>(argb >> 8),
                                       static_cast<unsigned char>(argb >> 16), static_cast<unsigned char>(argb >> 24)};
        out.write(reinterpret_cast<const char*>(bgra), 4);
    }
    return static_cast<bool>(out);
}

TEST(GameAppStartTest, ConstructionSetsTheGamesDefaults) {
    ContentFolderScope content;
    {
        std::ofstream terms(content.Dir() / "termins.txt", std::ios::binary);
        terms << "[Main]\r\nGameName=Tile Garden\r\n";
    }
    CallLog log;
    TestGameApp app(&log);
    EXPECT_EQ(GameApp::Get(), &app);
    EXPECT_EQ(app.mWidth, 1024);
    EXPECT_EQ(app.mHeight, 768);
    EXPECT_DOUBLE_EQ(app.mMusicVolume, 0.4);
    EXPECT_DOUBLE_EQ(app.mSfxVolume, 0.85);
    EXPECT_EQ(app.mColorDepth, 32);
    EXPECT_FALSE(app.mIsWindowed);
    EXPECT_FALSE(app.mAutoStartLoadingThread);
    EXPECT_TRUE(app.mNoSoundNeeded);
    EXPECT_EQ(app.mProductName, "Tilvoria");
    EXPECT_EQ(app.mRegKey, "Tilvorad");
    EXPECT_EQ(app.mTitle, "Tile Garden");
    // The engine's storages are opened (and made) beside the content.
    EXPECT_TRUE(std::filesystem::is_directory(content.Dir() / "sounddescr"));
    EXPECT_TRUE(std::filesystem::is_directory(content.Dir() / "sounds"));
    // Without a sound system nothing plays.
    EXPECT_EQ(app.PlaySound("MouseDown", true), 0);
    EXPECT_EQ(app.PlaySound("background", false), 0);
    EXPECT_FALSE(app.IsAdventureMode());
}

TEST(GameAppStartTest, ATitleOfItsOwnKeyKeepsTheProductName) {
    ContentFolderScope content;
    {
        std::ofstream terms(content.Dir() / "termins.txt", std::ios::binary);
        terms << "[Main]\r\nGameName=GameName\r\n";
    }
    CallLog log;
    TestGameApp app(&log);
    EXPECT_EQ(app.mTitle, "Tilvoria");
}

TEST(ProgramEntryTest, ContentIsTheFolderBesideTheProgramElseTheProgramsOwn) {
    velmtest::TempDir dir;
    EXPECT_EQ(Velm::FindContentFolder(dir.Path()), dir.Path() + "/");
    std::filesystem::create_directory(dir / "content");
    EXPECT_EQ(Velm::FindContentFolder(dir.Path()), dir.Path() + "/content/");
    EXPECT_EQ(Velm::FindContentFolder(dir.Path() + "/"), dir.Path() + "/content/");
}

// Takes the parameters the framework's parser hands on.
class CommandLineApp : public GameApp {
public:
    CommandLineApp() : GameApp(std::make_unique<gameapptest::RecordingFactory>(&mLog)) {}
    void HandleCmdLineParam(const std::string& name, const std::string& value) override {
        mParams.push_back(name + "=" + value);
    }
    CallLog mLog;
    std::vector<std::string> mParams;
};

TEST(ProgramEntryTest, TheRealArgumentsReachTheFrameworksCommandLine) {
    ContentFolderScope content;
    const char* argv[] = {"/opt/my games/tiles", "-record", "-demofile=run 1.dmo", "-changedir=/tmp", ""};
    CommandLineApp app;
    app.mCommandLine = Velm::JoinCommandLine(5, argv);
    EXPECT_EQ(app.mCommandLine, "\"/opt/my games/tiles\" -record \"-demofile=run 1.dmo\" -changedir=/tmp \"\"");
    app.ReadCommandLine();
    const std::vector<std::string> expected = {"-record=", "-demofile=run 1.dmo", "-changedir=/tmp"};
    EXPECT_EQ(app.mParams, expected);

    // A value follows its name after "=": written after a space it is a parameter of its own,
    // which the framework refuses as an unknown option.
    CommandLineApp spaced;
    const char* spacedArgv[] = {"tiles", "-changedir", "/tmp/x"};
    spaced.mCommandLine = Velm::JoinCommandLine(3, spacedArgv);
    spaced.ReadCommandLine();
    EXPECT_EQ(spaced.mParams, (std::vector<std::string>{"-changedir=", "/tmp/x="}));
}

TEST(ProgramEntryTest, WindowedAndChangeDirAreTakenFromTheCommandLine) {
    ContentFolderScope content;
    CallLog log;
    TestGameApp app(&log);
    // Without "-changedir" the program stays in its content folder.
    EXPECT_EQ(app.mChangeDirTo, content.Dir().Path() + "/");
    const char* argv[] = {"tiles", "-windowed", "-changedir=/somewhere"};
    app.mCommandLine = Velm::JoinCommandLine(3, argv);
    app.ReadCommandLine();
    EXPECT_TRUE(app.mIsWindowed);
    EXPECT_EQ(app.mChangeDirTo, "/somewhere");
}

TEST(BonusSettingsTest, MissingKeysKeepTheirDefaultsAndEmptyValuesGiveZero) {
    struct Case {
        const char* why;
        const char* text;
        Velm::BonusSettings expected;
    };
    const Case kCases[] = {
            {"no file", "", {1000, 150, 400, 350, 500, 2000}},
            {"only TimeBonus", "[Bonuses]\r\nTimeBonus=5\r\n", {5, 150, 400, 350, 500, 2000}},
            {"empty value", "[Bonuses]\r\nBonusGold=\r\nBonusSimple=7\r\n", {1000, 7, 400, 350, 0, 2000}},
            {"another section", "[Other]\r\nTimeBonus=5\r\n", {1000, 150, 400, 350, 500, 2000}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        IniFile_t file;
        file.Parse(c.text, std::strlen(c.text), true, "data/settings.txt");
        Velm::BonusSettings bonus;
        bonus.Read(file);
        EXPECT_EQ(bonus.timeBonus, c.expected.timeBonus);
        EXPECT_EQ(bonus.bonusSimple, c.expected.bonusSimple);
        EXPECT_EQ(bonus.bonusSeason, c.expected.bonusSeason);
        EXPECT_EQ(bonus.bonusFlower, c.expected.bonusFlower);
        EXPECT_EQ(bonus.bonusGold, c.expected.bonusGold);
        EXPECT_EQ(bonus.bonusMinigame, c.expected.bonusMinigame);
    }
}

class ResourceAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<TestGameApp>(&log);
        ASSERT_TRUE(WriteTga(content.Dir() / "pic.tga", 4, 2, 0xFF336699u));
    }
    ContentFolderScope content;
    CallLog log;
    std::unique_ptr<TestGameApp> app;
};

TEST_F(ResourceAdapterTest, TheResourceSourceAnswersFalseForWhatTheManagerLacks) {
    Velm::ResourceManager& manager = *app->GetResourceManager();
    const std::string manifest = "<ResourceManifest><Resources id=\"Init\"><SetDefaults path=\"" +
                                 content.Dir().Path() +
                                 "\"/><Image id=\"IMAGE_CUSTOM_POINTER\" path=\"pic\"/>"
                                 "<Image id=\"IMAGE_NOT_THERE\" path=\"nothing\"/></Resources></ResourceManifest>";
    ASSERT_TRUE(manager.ParseResourcesBuffer(manifest, "resources.xml")) << manager.GetErrorText();
    Velm::AppResourceSource source(manager);
    Velm::Image* image = nullptr;
    // Defined but not loaded yet, and not defined at all: no picture, no exception.
    EXPECT_FALSE(source.FetchImage("IMAGE_CUSTOM_POINTER", image));
    EXPECT_FALSE(source.FetchImage("IMAGE_UNKNOWN", image));
    Velm::Font* font = nullptr;
    EXPECT_FALSE(source.FetchFont("FONT_DEFAULT", font));
    int sound = -1;
    EXPECT_FALSE(source.FetchSound("SOUND_TIMER", sound));

    manager.StartLoadResources("Init");
    ASSERT_TRUE(manager.LoadNextResource());
    ASSERT_TRUE(source.FetchImage("IMAGE_CUSTOM_POINTER", image));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 4);
    // The picture stays with the manager's record after the fetch let its handle go.
    EXPECT_EQ(manager.GetImageRes("IMAGE_CUSTOM_POINTER")->mImage.GetImage(), image);
}

TEST_F(ResourceAdapterTest, SpriteSheetPicturesLoadAsTheEmptyGroupOfTheImageManager) {
    Velm::ImagesManager* images = app->GetImagesManager();
    ASSERT_NE(images, nullptr);
    const std::string pic = content.Dir() / "pic";
    EXPECT_FALSE(images->AddImage("", "", "", false));
    EXPECT_TRUE(images->AddImage(pic, "", "nopal", false));
    EXPECT_TRUE(images->AddImage(pic, "", "", false));  // registered once
    EXPECT_TRUE(images->AddImage(content.Dir() / "missing", "", "", false));
    EXPECT_EQ(images->GetNumResources(""), 2);
    EXPECT_FALSE(images->GetImageRes(pic)->mPalletize);

    // Through the engine's hooks, as the sprite sheets register and fetch them.
    EXPECT_TRUE(EngineHooks::AddSpriteImage(content.Dir() / "pic2", "", ""));
    EXPECT_EQ(images->GetNumResources(""), 3);
    images->StartLoadResources("");
    int loaded = 0;
    while (images->LoadNextResource()) ++loaded;
    EXPECT_EQ(loaded, 1);  // the missing file stops the group
    Velm::Image* image = EngineHooks::GetImagePtr(pic);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetHeight(), 2);
    EXPECT_EQ(EngineHooks::GetImagePtr("never registered"), nullptr);
}

TEST_F(ResourceAdapterTest, EngineHooksSeeTheBoundPicturesByName) {
    EXPECT_EQ(EngineHooks::GetResourceImage("IMAGE_CUSTOM_POINTER"), Velm::IMAGE_CUSTOM_POINTER);
    EXPECT_EQ(EngineHooks::GetResourceImage("FONT_DEFAULT"), nullptr);
    EXPECT_EQ(EngineHooks::GetResourceImage("IMAGE_NO_SUCH_NAME"), nullptr);
    std::unique_ptr<Velm::Image> read(EngineHooks::GetImage(content.Dir() / "pic"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetWidth(), 4);
}

}  // namespace

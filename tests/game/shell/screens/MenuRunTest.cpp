// A scripted run of the menus on a headless application: the first-run name
// dialog, players created, selected and deleted, the options' volumes across a
// restart, the help pages, and the menu music and fire loop on the engine's
// sound system (a mixer nobody listens to).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/sound/SoundApi.h"
#include "engine/sound/SoundDevice.h"
#include "engine/storage/FileStg.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/GameMenuWidjet.h"
#include "game/shell/screens/HelpWidget.h"
#include "game/shell/screens/MainScreen.h"
#include "game/shell/screens/NewUserDialog.h"
#include "game/shell/screens/OptionsDialog.h"
#include "game/shell/screens/PlayerList.h"
#include "game/shell/ui/MessageDialog.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UserNameDialog.h"
#include "platform/Audio.h"
#include "platform/DebugOutput.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/engine/sound/SoundTestSupport.h"
#include "tests/game/shell/TestFiles.h"
#include "tests/game/shell/screens/GameAppTestSupport.h"
#include "tests/game/shell/screens/MenuTestFiles.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/EditWidget.h"
#include "widgets/ListWidget.h"
#include "widgets/WidgetManager.h"

namespace {

using Velm::GameApp;

using menutest::WriteText;

// A fly-in that arrives at once and leaves at once.
std::string FlyMain(int id) {
    return "[Main]\nID=" + std::to_string(id) +
           "\nModal=1\nPosition=512,384,400,300\nBeginX=512\nBeginY=384\nEndX=512\nEndY=384\nSpeed=10000\n";
}

std::string Button(const char* name, int id, int y) {
    return std::string("[") + name + "]\nType=Button\nID=" + std::to_string(id) + "\nPosition=10," + std::to_string(y) +
           ",100,30\n";
}

void WriteContent(const std::string& dir) {
    WriteText(dir + "/ui/main.txt", Button("Game_Adventure", 11, 0) + Button("Game_Simple", 1, 0) +
                                            Button("Scores", 4, 0) + Button("Help", 3, 0) + Button("Options", 2, 0) +
                                            Button("Exit", 5, 0) + Button("ChangePlayer", 33, 700) +
                                            "[NameLbl]\nType=Link\nPosition=10,10,200,30\n"
                                            "[ButtonsXY]\nType=Point\nX=400\nY=200\n"
                                            "[ButtonsWH]\nType=Point\nX=200\nY=400\n");
    WriteText(dir + "/ui/newuser.txt", FlyMain(101) + "[Edit]\nType=Edit\nPosition=10,10,200,30\n" +
                                               Button("OK", 1, 50) + Button("Cancel", 2, 90));
    WriteText(dir + "/ui/changeuser.txt", FlyMain(12) + Button("Delete", 1, 200) + Button("Select", 2, 240) +
                                                  Button("Cancel", 3, 280) + "[LBPos]\nType=Point\nX=10\nY=10\n" +
                                                  "[LBSize]\nType=Point\nX=200\nY=150\n");
    const std::string box = FlyMain(0) + "[Caption]\nType=Link\nPosition=10,10,300,30\n" +
                            "[Message]\nType=Link\nPosition=10,50,300,100\n" + Button("Ok", 1, 200);
    WriteText(dir + "/ui/messagebox.txt", box);
    WriteText(dir + "/ui/messageboxokc.txt", box + Button("Cancel", 2, 240));
    WriteText(dir + "/ui/options.txt", FlyMain(201) + "[MusicVolume]\nType=Slider\nID=1\nPosition=10,10,200,20\n" +
                                               "[EffectVolume]\nType=Slider\nID=2\nPosition=10,40,200,20\n" +
                                               "[3DMode]\nType=CheckBox\nID=1\nPosition=10,70,20,20\n" +
                                               "[FullScreen]\nType=CheckBox\nID=2\nPosition=10,100,20,20\n" +
                                               "[CustomCursor]\nType=CheckBox\nID=3\nPosition=10,130,20,20\n" +
                                               Button("OK", 1, 200));
    WriteText(dir + "/ui/gamemenuui.txt", FlyMain(55) + Button("Options", 1, 0) + Button("Help", 2, 0) +
                                                  Button("Quit", 3, 0) + Button("Continue", 4, 0) +
                                                  Button("Replay", 5, 0) + "[ButtonsXY]\nType=Point\nX=50\nY=20\n" +
                                                  "[ButtonsWH]\nType=Point\nX=300\nY=250\n");
    WriteText(dir + "/ui/selectgame.txt", FlyMain(303) + "[Question]\nType=Link\nCaption=SavedGameAsk\n" +
                                                  "Position=10,10,300,30\n[FreeQuestion]\nType=Link\nVisible=0\n" +
                                                  "Caption=SavedGameAskFree\nPosition=10,10,300,90\n" +
                                                  "[ScoreLbl]\nType=Link\nPosition=10,50,300,30\n" +
                                                  Button("Continue", 1, 200) + Button("New", 2, 240));
    WriteText(dir + "/ui/quitgamesimple.txt", FlyMain(301) + Button("Exit", 1, 0) + Button("MainMenu", 2, 40) +
                                                      Button("Cancel", 3, 80) + Button("LevelList", 4, 120));
    WriteText(dir + "/ui/help.txt", Button("Next", 1, 500) + Button("Close", 2, 540) + Button("Prev", 3, 580) +
                                            "[DontShow]\nType=CheckBox\nID=1\nPosition=10,10,20,20\n"
                                            "[DontShowLbl]\nType=Link\nPosition=40,10,200,20\n");
    WriteText(dir + "/data/help.txt",
              "[Main]\nPagesCount=3\n[Page0]\nText0=10,10,300,40,HelpHello,FFFFFF,-1\n"
              "[Page1]\nText0=10,10,300,40,HelpHello,FFFFFF,-1\n[Page2]\n");
    WriteText(dir + "/data/fire.xml",
              "<anims><fire time=\"0.1\" x=\"30\" y=\"560\" additive=\"1\">"
              "<item name=\"images/main/fire0\"/><item name=\"images/main/fire1\"/>"
              "</fire></anims>");
    WriteText(dir + "/sounddescr/base", "WaveName=MouseDown\nGroup=Effect\n");
    WriteText(dir + "/sounddescr/background", "WaveName=music/mainmenu\nGroup=Music\nIsStreamed=1\nIsLoop=1\n");
    WriteText(dir + "/sounddescr/fire", "WaveName=fire\nGroup=Effect\nIsLoop=1\n");
    std::filesystem::create_directories(dir + "/sounds/music");
    const std::string loop = soundtest::Wav16(1, std::vector<int16_t>(22050, 1200));
    WriteBytes(dir + "/sounds/fire.wav", std::vector<uint8_t>(loop.begin(), loop.end()));
    WriteBytes(dir + "/sounds/music/mainmenu.wav", std::vector<uint8_t>(loop.begin(), loop.end()));
}

// The application reads them from the content folder's "termins.txt".
void WriteTerms(const std::string& dir) {
    const std::string text =
            "[Texts]\r\nCreateNewUser=New player\r\nEnterCorrectName=Choose another name\r\n"
            "DeleteWarning=Delete this player?\r\nHelpHello=Hello %s\r\nHelpNext=Next\r\n"
            "SureExit=Leave the game?\r\nError1=No 3D here\r\nError2=3D would be slow\r\n"
            "PlayersRepaired=The player list was rebuilt\r\n"
            "NoMorePlayersAvalible=Six players are the most\r\nSavedGameAsk=Go on?\r\n"
            "SavedGameAskFree=Go on? A new game forgets your boards, best scores, best times and tile set.\r\n";
    WriteBytes(dir + "/termins.txt", std::vector<uint8_t>(text.begin(), text.end()));
}

// The application with message boxes answered by the script: each box is
// recorded with its message and given the next answer (confirmed by default).
class MenuApp : public gameapptest::TestGameApp {
public:
    explicit MenuApp(gameapptest::CallLog* log) : TestGameApp(log) {}
    bool UpdateAppStep(bool* updated) override {
        if (updated != nullptr) *updated = false;
        if (Velm::Dialog* box = GetDialog(kMessageBoxDialogId)) {
            auto* message = dynamic_cast<Velm::ButtonWidget*>(
                    static_cast<Velm::MessageDialog*>(box)->GetDescription()->FindWidget("Message"));
            messages.push_back(message != nullptr ? message->mLabel : "?");
            box->mResult = answer;
        }
        return true;
    }
    using GameApp::SwitchScreenMode;
    void SwitchScreenMode(bool wantWindowed, bool want3D, bool force) override {
        screenModeSwitches.push_back(wantWindowed);
        GameApp::SwitchScreenMode(wantWindowed, want3D, force);
    }
    // The display the application then owns.
    void UseDisplay(Velm::DisplaySetup* display) { mDDInterface = display; }
    std::vector<std::string> messages;
    int answer = Velm::MessageDialog::kConfirmed;
    std::vector<bool> screenModeSwitches;  // windowed wanted, one per switch
};

class MenuRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteContent(content.Dir().Path());
        WriteTerms(content.Dir().Path());
        TextTable_t::Destroy();
        ProfileManager_t::Destroy();
        ProfileManager_t::Instance()->Load(UsersPath());
        app = std::make_unique<MenuApp>(&log);
        app->mWidth = 1024;
        app->mHeight = 768;
        descrs = OpenStorage((content.Dir().Path() + "/sounddescr").c_str(), false);
        sounds = OpenStorage((content.Dir().Path() + "/sounds").c_str(), false);
        Sound::SetSoundDescrStorage(descrs);
        Sound::SetSoundsStorage(sounds);
        ASSERT_TRUE(Sound::InitSoundOnMixer(std::make_shared<plat::audio::Mixer>(soundtest::kRate), false, false));
        menu = std::make_unique<Velm::MainScreen>(app.get());
        menu->Resize(0, 0, 1024, 768);
        app->GetWidgetManager()->AddWidget(menu.get());
    }
    void TearDown() override {
        app->GetWidgetManager()->RemoveAllWidgets(false, false);
        menu.reset();
        app.reset();
        Sound::ShutdownSound();
        Sound::SetSoundDescrStorage(nullptr);
        Sound::SetSoundsStorage(nullptr);
        descrs->Release();
        sounds->Release();
        ProfileManager_t::Destroy();
        TextTable_t::Destroy();
    }

    std::string UsersPath() const { return content.Dir().Path() + "/users.dat"; }

    // One update of every widget, as the main loop runs it, then the deferred deletes.
    void Step(int count = 1) {
        for (int i = 0; i < count; ++i) {
            app->GetWidgetManager()->UpdateFrame();
            app->GetWidgetManager()->UpdateFrameF(1.0f);
            app->ProcessSafeDeleteList();
        }
    }
    // Types a name into the open name dialog and confirms it; the dialog flies out and
    // reports to its listener.
    void EnterName(const std::string& name) {
        Velm::UserNameDialog* dialog = app->userNameDialog;
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(app->GetDialog(101), dialog);
        dialog->GetEdit()->SetText(name);
        dialog->ButtonDepress(Velm::UserNameDialog::kConfirmButton);
        Step(3);
    }
    // The application's screens built (so that switches happen) and a first player named.
    void BuildScreensAndNameAPlayer(const std::string& name) {
        app->BuildTitleScreen();
        ASSERT_TRUE(app->BuildScreens());
        Step();
        EnterName(name);
    }
    template <typename T>
    T* Open(int id) {
        return dynamic_cast<T*>(app->GetDialog(id));
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(content.Dir().Path() + "/" + name); }
    void RunSoundFades() {
        for (int i = 0; i < 50; ++i) {
            Sound::GetSoundDevice()->TimerTick();
            Sound::GetSoundDevice()->ServicePending();
        }
    }

    plat::CapturedDebugOutput quiet;  // the fixtures' UI files name no fonts or pictures
    gameapptest::ContentFolderScope content;
    gameapptest::CallLog log;
    std::unique_ptr<MenuApp> app;
    std::unique_ptr<Velm::MainScreen> menu;
    Stg_t* descrs = nullptr;
    Stg_t* sounds = nullptr;
};

TEST_F(MenuRunTest, PlayersOptionsHelpAndSounds) {
    // Shown: the menu music and the fire loop start.
    menu->OnShown();
    ASSERT_NE(Sound::GetCurrentMusicName(), nullptr);
    EXPECT_STREQ(Sound::GetCurrentMusicName(), "music/mainmenu");
    const int music = Sound::GetCurrentMusicHandle();
    EXPECT_NE(menu->fireSound, 0);
    EXPECT_TRUE(Sound::IsSoundPlaying(menu->fireSound));
    menu->OnHidden();
    menu->OnShown();  // the music already plays: not restarted
    EXPECT_EQ(Sound::GetCurrentMusicHandle(), music);

    // First run: the name dialog opens by itself, once. A name the profile
    // manager refuses is answered with a message and asked for again.
    Step();
    ASSERT_NE(app->userNameDialog, nullptr);
    EnterName("Users");
    ASSERT_EQ(app->messages.size(), 1u);
    EXPECT_EQ(app->messages[0], "Choose another name");
    EXPECT_EQ(ProfileManager_t::Instance()->GetProfileCount(), 0);
    EnterName("Anna");
    EXPECT_EQ(app->GetDialog(101), nullptr);
    EXPECT_EQ(ProfileManager_t::Instance()->GetProfileCount(), 1);
    EXPECT_TRUE(Exists("users.dat"));
    EXPECT_TRUE(Exists("Anna.dat"));
    Step(5);
    EXPECT_EQ(app->GetDialog(101), nullptr);  // asked only once
    EXPECT_EQ(dynamic_cast<Velm::ButtonWidget*>(menu->nameLabel)->mLabel, "Anna");

    // Change player: create a second one (a duplicate name is refused first).
    menu->ButtonDepress(Velm::MainScreen::kChangePlayer);
    auto* players = Open<Velm::NewUserDialog>(12);
    ASSERT_NE(players, nullptr);
    EXPECT_EQ(players->list->GetLineCount(), 2);
    EXPECT_EQ(players->list->mSelectIdx, 1);
    players->ListClicked(0, 0, 1);
    EnterName("aNNA");
    EXPECT_EQ(app->messages.size(), 2u);
    EnterName("Bob");
    EXPECT_EQ(players->list->GetLineCount(), 3);
    EXPECT_EQ(players->list->GetStringAt(2), "Bob");
    EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentProfile()->name, "Bob");
    EXPECT_TRUE(Exists("Bob.dat"));

    // Select Anna; the dialog flies out and the menu removes it.
    players->ListClicked(0, 1, 1);
    players->ButtonDepress(Velm::NewUserDialog::kSelectButton);
    Step(3);
    EXPECT_EQ(app->GetDialog(12), nullptr);
    EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentProfile()->name, "Anna");

    // Delete Bob: Anna stays current and her line is selected.
    menu->ButtonDepress(Velm::MainScreen::kChangePlayer);
    players = Open<Velm::NewUserDialog>(12);
    ASSERT_NE(players, nullptr);
    players->ListClicked(0, 2, 1);
    players->ButtonDepress(Velm::NewUserDialog::kDeleteButton);
    EXPECT_EQ(app->messages.back(), "Delete this player?");
    EXPECT_FALSE(Exists("Bob.dat"));
    EXPECT_EQ(players->list->GetLineCount(), 2);
    EXPECT_EQ(players->list->mSelectIdx, 1);
    EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentProfile()->name, "Anna");
    players->ButtonDepress(Velm::NewUserDialog::kCancelButton);
    Step(3);
    EXPECT_EQ(app->GetDialog(12), nullptr);

    // Options: the volumes act at once and are saved on OK.
    menu->ButtonDepress(Velm::MainScreen::kOptions);
    auto* options = Open<Velm::OptionsDialog>(201);
    ASSERT_NE(options, nullptr);
    options->SliderValueChanged(Velm::OptionsDialog::kMusicSlider, 0.25);
    options->SliderValueChanged(Velm::OptionsDialog::kEffectSlider, 0.7);
    EXPECT_EQ(Sound::GetGroupVolume(3), 25);
    EXPECT_EQ(Sound::GetGroupVolume(1), 70);
    options->ButtonDepress(Velm::OptionsDialog::kOkButton);
    Step(3);
    EXPECT_EQ(app->GetDialog(201), nullptr);

    // Help: forward, back, a click turns, the last page offers only Close.
    menu->ButtonDepress(Velm::MainScreen::kHelp);
    auto* help = Open<HelpWidget_t>(HelpWidget_t::kDialogId);
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(help->prevButton->mVisible);
    EXPECT_TRUE(help->nextButton->mVisible);
    help->ButtonDepress(1);
    EXPECT_EQ(help->pages.page, 1);
    EXPECT_TRUE(help->prevButton->mVisible);
    help->ButtonDepress(3);
    EXPECT_EQ(help->pages.page, 0);
    help->MouseDown(5, 5, 1);
    help->MouseDown(5, 5, 1);
    EXPECT_EQ(help->pages.page, 2);
    EXPECT_FALSE(help->nextButton->mVisible);
    help->MouseDown(5, 5, 1);  // nothing on the last page
    EXPECT_EQ(help->pages.page, 2);
    EXPECT_NE(app->GetDialog(HelpWidget_t::kDialogId), nullptr);
    help->ButtonDepress(2);
    Step();
    EXPECT_EQ(app->GetDialog(HelpWidget_t::kDialogId), nullptr);

    // Hidden: the fire loop stops.
    const int fire = menu->fireSound;
    menu->OnHidden();
    EXPECT_EQ(menu->fireSound, 0);
    RunSoundFades();
    EXPECT_FALSE(Sound::IsSoundPlaying(fire));

    // A restart reads the same players and volumes.
    ProfileManager_t reread;
    reread.Load(UsersPath());
    ASSERT_EQ(reread.GetProfileCount(), 1);
    ASSERT_NE(reread.GetCurrentProfile(), nullptr);
    EXPECT_EQ(reread.GetCurrentProfile()->name, "Anna");
    EXPECT_FLOAT_EQ(reread.GetCurrentProfile()->musicVolume, 0.25f);
    EXPECT_FLOAT_EQ(reread.GetCurrentProfile()->effectVolume, 0.7f);
}

TEST_F(MenuRunTest, AGameButtonBeforeTheFirstUpdateAsksForTheNameOnce) {
    // The player is quicker than the first-run question: the game button's own name dialog
    // stays the only one, and confirming it goes on to the game.
    menu->OnShown();
    menu->ButtonDepress(Velm::MainScreen::kSimpleGame);
    Velm::UserNameDialog* asked = app->userNameDialog;
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->userValue, 1);
    Step(5);
    EXPECT_EQ(app->userNameDialog, asked);
    EXPECT_EQ(app->GetDialogCount(), 1);
    EnterName("Quick");
    EXPECT_EQ(ProfileManager_t::Instance()->GetProfileCount(), 1);
    Step(5);
    EXPECT_EQ(app->GetDialog(101), nullptr);
}

TEST_F(MenuRunTest, ARebuiltPlayerListIsToldOnceBeforeAnythingIsAsked) {
    // A list cut inside its header, and a player's own file beside it.
    {
        ProfileManager_t setup;
        setup.Load(UsersPath());
        ASSERT_TRUE(setup.AddProfile(std::make_unique<Profile_t>("Bob", 0.5f, 0.4f)));
        ASSERT_TRUE(setup.Save());
    }
    WriteBytes(UsersPath(), {1, 0, 0});
    ProfileManager_t::Instance()->Load(UsersPath());
    menu->OnShown();
    Step(3);
    EXPECT_EQ(app->messages, std::vector<std::string>{"The player list was rebuilt"});
    ASSERT_NE(ProfileManager_t::Instance()->GetProfile(0), nullptr);
    EXPECT_EQ(ProfileManager_t::Instance()->GetProfile(0)->name, "Bob");
    EXPECT_EQ(app->userNameDialog, nullptr);  // Bob is there: nobody is asked for a name
    // Told once: the next start finds a sound list.
    ProfileManager_t::Instance()->Load(UsersPath());
    Step(3);
    EXPECT_EQ(app->messages.size(), 1u);
}

TEST_F(MenuRunTest, LightningFlashesEvery1030Updates) {
    menu->askForPlayer = false;
    for (int i = 1; i < 1000; ++i) menu->Update();
    EXPECT_FLOAT_EQ(menu->lightning.targetAlpha, 0.0f);
    EXPECT_FLOAT_EQ(menu->lightning.alpha, 0.0f);
    menu->Update();  // 1000: fades in over ten updates
    EXPECT_FLOAT_EQ(menu->lightning.targetAlpha, 255.0f);
    for (int i = 1001; i < 1020; ++i) menu->Update();
    EXPECT_FLOAT_EQ(menu->lightning.alpha, 255.0f);
    menu->Update();  // 1020: fades out over ten updates
    EXPECT_FLOAT_EQ(menu->lightning.targetAlpha, 0.0f);
    EXPECT_FLOAT_EQ(menu->lightning.step, -25.5f);
    for (int i = 1021; i < 1030; ++i) menu->Update();
    EXPECT_EQ(menu->lightningTicks, 1029);
    menu->Update();  // 1030: thunder, and the cycle starts again
    EXPECT_EQ(menu->lightningTicks, 0);
    EXPECT_FLOAT_EQ(menu->lightning.alpha, 0.0f);
}

TEST_F(MenuRunTest, EscAsksBeforeLeavingAndDecliningKeepsTheMenu) {
    menu->askForPlayer = false;
    app->answer = Velm::MessageDialog::kCancelled;
    menu->KeyUp(27);
    ASSERT_EQ(app->messages.size(), 1u);
    EXPECT_EQ(app->messages[0], "Leave the game?");
    EXPECT_FALSE(app->IsShutdown());
    EXPECT_TRUE(app->GetWidgetManager()->HasWidget(menu.get()));
}

// What the play screen hears from its game menu: (dialog id, result) pairs.
struct BoardListener : Velm::DialogListener {
    void DialogButtonDepress(int dialogId, int result) override { heard.emplace_back(dialogId, result); }
    std::vector<std::pair<int, int>> heard;
};

TEST_F(MenuRunTest, GameMenuResumesOnEscAndQuitsToTheMainMenu) {
    BoardListener board;
    auto* gameMenu = new Velm::GameMenuWidjet_t("ui/gamemenuui.txt", false);
    gameMenu->mDialogListener = &board;
    app->AddDialog(gameMenu);
    Velm::UiDescription_t* ui = gameMenu->GetDescription();
    EXPECT_FALSE(ui->FindWidget("Replay")->mVisible);
    // Arranged in order inside ButtonsXY / ButtonsWH with a leading gap:
    // (250 - 5 x 30) / 6 = 16.
    EXPECT_EQ(ui->FindWidget("Help")->mY, 20 + 16);
    EXPECT_EQ(ui->FindWidget("Options")->mY, 20 + 16 + 46);
    EXPECT_EQ(ui->FindWidget("Help")->mX, 50 + 100);

    gameMenu->KeyUp(27);  // as Continue
    EXPECT_EQ(gameMenu->pendingResult, Velm::GameMenuWidjet_t::kContinue);
    Step(2);
    ASSERT_FALSE(board.heard.empty());
    EXPECT_EQ(board.heard.front(), std::make_pair(55, int{Velm::GameMenuWidjet_t::kContinue}));
    EXPECT_EQ(gameMenu->mResult, Velm::GameMenuWidjet_t::kOutResult);
    EXPECT_FALSE(gameMenu->toMainMenu);
    app->KillDialog(55);
    Step();

    board.heard.clear();
    gameMenu = new Velm::GameMenuWidjet_t("ui/gamemenuui.txt", true);
    gameMenu->mDialogListener = &board;
    app->AddDialog(gameMenu);
    EXPECT_TRUE(gameMenu->GetDescription()->FindWidget("Replay")->mVisible);
    gameMenu->ButtonDepress(Velm::GameMenuWidjet_t::kQuit);
    auto* quit = Open<Velm::FlyWidget_t>(301);
    ASSERT_NE(quit, nullptr);
    quit->ButtonDepress(2);  // back to the main menu
    Step(3);
    EXPECT_EQ(app->GetDialog(301), nullptr);
    EXPECT_TRUE(gameMenu->toMainMenu);
    EXPECT_FALSE(gameMenu->toLevelList);
    EXPECT_EQ(gameMenu->mResult, Velm::GameMenuWidjet_t::kOutResult);
    ASSERT_FALSE(board.heard.empty());
    EXPECT_EQ(board.heard.front(), std::make_pair(55, int{Velm::GameMenuWidjet_t::kQuit}));
    app->KillDialog(55);
    Step();
}

TEST_F(MenuRunTest, EscClosesTheOptionsWithoutTheScreenModeButKeepsTheVolumes) {
    Step();
    EnterName("Anna");
    menu->ButtonDepress(Velm::MainScreen::kOptions);
    auto* options = Open<Velm::OptionsDialog>(201);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(app->GetWidgetManager()->mFocusWidget, options);  // the keys go to it
    Step();
    options->SliderValueChanged(Velm::OptionsDialog::kMusicSlider, 0.3);
    options->fullScreen->SetChecked(!options->fullScreen->IsChecked(), true);
    options->KeyUp(13);  // only Esc closes
    Step();
    ASSERT_EQ(app->GetDialog(201), options);
    options->KeyUp(Velm::OptionsDialog::kKeyEsc);
    Step(3);
    EXPECT_EQ(app->GetDialog(201), nullptr);
    EXPECT_TRUE(app->screenModeSwitches.empty());
    EXPECT_EQ(Sound::GetGroupVolume(3), 30);
    ProfileManager_t reread;
    reread.Load(UsersPath());
    ASSERT_NE(reread.GetCurrentProfile(), nullptr);
    EXPECT_FLOAT_EQ(reread.GetCurrentProfile()->musicVolume, 0.3f);

    // OK still applies the screen mode.
    menu->ButtonDepress(Velm::MainScreen::kOptions);
    options = Open<Velm::OptionsDialog>(201);
    ASSERT_NE(options, nullptr);
    options->ButtonDepress(Velm::OptionsDialog::kOkButton);
    Step(3);
    EXPECT_EQ(app->GetDialog(201), nullptr);
    EXPECT_EQ(app->screenModeSwitches.size(), 1u);
}

// The display of a machine whose card test ran and warned: 3D drawing is supported but not
// recommended.
class WarnedDisplay : public windowtest::FakeDisplay {
public:
    using FakeDisplay::FakeDisplay;
    bool Test3DRan() override { return true; }
    bool Test3DWarned() override { return true; }
};

TEST_F(MenuRunTest, ThreeDModeRefusedWithItsMessageAndTheBoxShowsTheDrawingInForce) {
    struct Case {
        const char* why;
        bool warnedDisplay;
        const char* message;
    };
    const Case kCases[] = {
            {"not supported (no card test)", false, "No 3D here"},
            {"supported but not recommended", true, "3D would be slow"},
    };
    menu->askForPlayer = false;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        if (c.warnedDisplay) app->UseDisplay(new WarnedDisplay(app.get(), {}));
        ASSERT_EQ(app->Is3DAccelerationSupported(), c.warnedDisplay);
        ASSERT_FALSE(app->Is3DAccelerationRecommended());
        menu->ButtonDepress(Velm::MainScreen::kOptions);
        auto* options = Open<Velm::OptionsDialog>(201);
        ASSERT_NE(options, nullptr);
        options->mode3D->MouseDown(5, 5, 1, 1);  // a click ticks the box
        EXPECT_FALSE(options->mode3D->IsChecked());
        ASSERT_FALSE(app->messages.empty());
        EXPECT_EQ(app->messages.back(), c.message);
        options->KeyUp(Velm::OptionsDialog::kKeyEsc);
        Step(3);
        EXPECT_EQ(app->GetDialog(201), nullptr);
    }
}

}  // namespace

namespace {

// The player-chooser rules: without a current player a game button opens the chooser with
// nothing chosen, Select and Delete are enabled only on a player's line, and a seventh player
// is refused with a message instead of the name dialog.
TEST_F(MenuRunTest, PlayerChooserRules) {
    menu->askForPlayer = false;
    PlayerList players(*ProfileManager_t::Instance());
    for (const char* name : {"Ann", "Ben", "Cid", "Dot", "Eve"}) {
        ASSERT_EQ(players.Add(name, 0.5f, 0.5f), PlayerList::AddResult::Added);
    }
    ProfileManager_t::Instance()->SetCurrentIndex(-1);
    ASSERT_EQ(ProfileManager_t::Instance()->GetCurrentProfile(), nullptr);

    menu->ButtonDepress(Velm::MainScreen::kSimpleGame);
    auto* chooser = Open<Velm::NewUserDialog>(12);
    ASSERT_NE(chooser, nullptr) << "no player active: the game button opens the chooser";
    EXPECT_TRUE(chooser->selectButton->mDisabled) << "nothing chosen on opening";
    EXPECT_TRUE(chooser->deleteButton->mDisabled);
    struct Row {
        const char* why;
        int line;
        bool enabled;
    };
    const Row kRows[] = {{"a player's line", 2, true},
                         {"no line chosen", -1, false},
                         {"the last player's line", 5, true},
                         {"past the last line", 9, false}};
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.why);
        chooser->list->SetSelect(r.line);
        chooser->UpdateButtons();
        EXPECT_EQ(!chooser->selectButton->mDisabled, r.enabled);
        EXPECT_EQ(!chooser->deleteButton->mDisabled, r.enabled);
    }

    // Five players: "Create new" asks for a name. Six: a message, and no name dialog.
    chooser->ListClicked(0, 0, 1);
    ASSERT_NE(app->userNameDialog, nullptr);
    EnterName("Fay");
    EXPECT_EQ(ProfileManager_t::Instance()->GetProfileCount(), 6);
    const size_t messages = app->messages.size();
    chooser->ListClicked(0, 0, 1);
    EXPECT_EQ(app->userNameDialog, nullptr);
    ASSERT_EQ(app->messages.size(), messages + 1);
    EXPECT_EQ(app->messages.back(), "Six players are the most");
    chooser->ButtonDepress(Velm::NewUserDialog::kCancelButton);
    Step(3);
}

// Help opened on one page (as the board opens it): a click turns nowhere and shows no "Next",
// Esc closes it.
TEST_F(MenuRunTest, SinglePageHelpTurnsNowhereAndClosesOnEsc) {
    BoardListener board;
    auto* help = new HelpWidget_t(app.get(), false);
    help->mDialogListener = &board;
    app->AddDialog(help);
    help->AdvancePages(1);
    help->SetSinglePageMode(true);
    help->MouseDown(5, 5, 1);
    EXPECT_EQ(help->pages.page, 1);
    EXPECT_FALSE(help->nextButton->mVisible);
    EXPECT_FALSE(help->prevButton->mVisible);
    EXPECT_TRUE(help->closeButton->mVisible);
    EXPECT_TRUE(board.heard.empty());
    help->KeyUp(27);
    EXPECT_EQ(help->pages.page, 1);
    EXPECT_EQ(help->mResult, HelpWidget_t::kCloseResult);
    ASSERT_EQ(board.heard.size(), 1u);
    EXPECT_EQ(board.heard[0].first, HelpWidget_t::kDialogId);
    app->KillDialog(HelpWidget_t::kDialogId);
    Step();
}

// Free play with results: the game button asks first, in words that say what a new game takes
// away; only "New game" resets the record. Without results there is nothing to ask.
TEST_F(MenuRunTest, FreePlayAsksBeforeANewGameErasesItsResults) {
    ASSERT_NO_FATAL_FAILURE(BuildScreensAndNameAPlayer("Anna"));
    struct Case {
        const char* why;
        bool started;
        int tileset;
        int bestScore;
        bool asked;
        int answer;  // 1 continue, 2 new game
        bool erased;
    };
    const Case kCases[] = {
            {"a fresh record: straight to the list", false, 0, 0, false, 0, false},
            {"a game begun, continued", true, 0, 500, true, 1, false},
            {"a game begun, new game", true, 0, 500, true, 2, true},
            {"only a tile set chosen: still asked", false, 3, 0, true, 1, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ProfileManager_t::Instance()->SetMode(0);
        Progress_t* progress = ProfileManager_t::Instance()->GetCurrentProgress();
        ASSERT_NE(progress, nullptr);
        *progress = Progress_t();
        progress->stageStarted = c.started;
        progress->tileset = c.tileset;
        progress->levelRecords = {{0, c.bestScore != 0 ? 900 : 0, c.bestScore, false}, {1, 0, 0, false}};
        if (c.bestScore != 0) progress->levelRecords.push_back({2, 0, 0, false});
        const Progress_t before = *progress;

        menu->ButtonDepress(Velm::MainScreen::kSimpleGame);
        auto* choice = Open<Velm::FlyWidget_t>(303);
        ASSERT_EQ(choice != nullptr, c.asked);
        if (choice != nullptr) {
            Velm::UiDescription_t* ui = choice->GetDescription();
            EXPECT_FALSE(ui->FindWidget("Question")->mVisible);
            EXPECT_FALSE(ui->FindWidget("ScoreLbl")->mVisible);
            auto* question = dynamic_cast<Velm::ButtonWidget*>(ui->FindWidget("FreeQuestion"));
            ASSERT_NE(question, nullptr);
            EXPECT_TRUE(question->mVisible);
            EXPECT_EQ(question->mLabel, "Go on? A new game forgets your boards, best scores, best times and tile set.");
            // Nothing is erased while the question stands.
            EXPECT_EQ(progress->levelRecords.size(), before.levelRecords.size());
            EXPECT_EQ(progress->tileset, before.tileset);
            choice->ButtonDepress(c.answer);
            Step(3);
            EXPECT_EQ(app->GetDialog(303), nullptr);
        }
        progress = ProfileManager_t::Instance()->GetCurrentProgress();
        if (c.erased) {
            EXPECT_EQ(progress->levelRecords.size(), 2u);
            EXPECT_EQ(progress->levelRecords[0].bestScore, 0);
            EXPECT_FALSE(progress->stageStarted);
        } else if (c.asked) {
            EXPECT_EQ(progress->levelRecords.size(), before.levelRecords.size());
            EXPECT_EQ(progress->levelRecords[0].bestScore, before.levelRecords[0].bestScore);
            EXPECT_EQ(progress->tileset, before.tileset);
        }
        EXPECT_EQ(app->switchCode, Velm::ScreenSwitch::kMainToSimple);
        app->switchCode = 0;
    }
    // In the adventure the question keeps its own words over the saved game's labels.
    ProfileManager_t::Instance()->SetMode(1);
    ProfileManager_t::Instance()->GetCurrentProgress()->stageStarted = true;
    menu->ButtonDepress(Velm::MainScreen::kAdventureGame);
    auto* choice = Open<Velm::FlyWidget_t>(303);
    ASSERT_NE(choice, nullptr);
    EXPECT_TRUE(choice->GetDescription()->FindWidget("Question")->mVisible);
    EXPECT_FALSE(choice->GetDescription()->FindWidget("FreeQuestion")->mVisible);
    app->KillDialog(303);
    Step();
}

// Where the main menu's buttons lead (the switch each asks the application for).
TEST_F(MenuRunTest, MainMenuButtonsLeadToTheirScreens) {
    ASSERT_NO_FATAL_FAILURE(BuildScreensAndNameAPlayer("Anna"));
    struct Case {
        const char* why;
        int button;
        int code;
    };
    const Case kCases[] = {
            {"Scores: the score table", Velm::MainScreen::kScores, Velm::ScreenSwitch::kMainToHighScores},
            {"Free Play on a fresh record: the level list", Velm::MainScreen::kSimpleGame,
             Velm::ScreenSwitch::kMainToSimple},
            {"Adventure on a fresh record: the comic", Velm::MainScreen::kAdventureGame,
             Velm::ScreenSwitch::kMainToComix},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        app->switchCode = 0;
        menu->ButtonDepress(c.button);
        EXPECT_EQ(app->switchCode, c.code);
    }
}

}  // namespace

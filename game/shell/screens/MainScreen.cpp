#include "game/shell/screens/MainScreen.h"

#include <cstring>

#include "engine/anim/SpriteSheet.h"
#include "engine/sound/SoundApi.h"
#include "game/shell/GameIds.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TextTable.h"
#include "game/shell/TilesetCatalogue.h"
#include "game/shell/screens/ButtonColumn.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/HelpWidget.h"
#include "game/shell/screens/NewUserDialog.h"
#include "game/shell/screens/OptionsDialog.h"
#include "game/shell/screens/PlayerList.h"
#include "game/shell/ui/FlyWidget.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UserNameDialog.h"
#include "graphics/Graphics.h"
#include "graphics/Point.h"
#include "resources/base/StringUtils.h"
#include "widgets/ButtonWidget.h"
#include "widgets/EditWidget.h"
#include "widgets/WidgetManager.h"

namespace Velm {

namespace {

constexpr float kFireSecondsPerTick = 0.01f;
constexpr float kLightningInStep = 25.5f;

void SetLabel(Widget* widget, const std::string& text) {
    if (auto* button = dynamic_cast<ButtonWidget*>(widget)) {
        button->mLabel = text;
    }
}

void SetShown(Widget* widget, bool shown) {
    if (widget != nullptr) widget->SetVisible(shown);
}

// Whether a new free-play game would take something from the record: a game begun, a board
// opened beyond the first two, a best score or time, a chosen tile set.
bool HoldsFreePlayResults(const Progress_t& progress) {
    if (progress.stageStarted || progress.tileset != 0 || progress.levelRecords.size() > 2) return true;
    for (const LevelRecord_t& record : progress.levelRecords) {
        if (record.bestScore != 0 || record.bestTime != 0) return true;
    }
    return false;
}

void LoadScroller(TiledScrollAnim_t& anim, const char* file, Image* sheetImage) {
    anim.LoadFile(file);
    if (sheetImage != nullptr && anim.sheet != nullptr) {
        anim.sheet->image = sheetImage;
    }
    anim.Start();
}

}  // namespace

MainScreen::MainScreen(GameApp* application) : BaseDialogWidget(1, false), app(application) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_UPDATE | WIDGETFLAGS_MARK_DIRTY;
    description = std::make_unique<UiDescription_t>("ui/main.txt", this);
    nameLabel = description->FindWidget("NameLbl");

    const Point* corner = description->FindPoint("ButtonsXY");
    const Point* size = description->FindPoint("ButtonsWH");
    ButtonColumn column(corner != nullptr ? corner->x : 0, corner != nullptr ? corner->y : 0,
                        size != nullptr ? size->x : 0, size != nullptr ? size->y : 0);
    for (const char* name : {"Game_Adventure", "Game_Simple", "Scores", "Help", "Options", "Exit"}) {
        if (Widget* button = description->FindWidget(name)) {
            column.Add(button);
        }
    }
    column.Arrange(true, true, true, true);

    LoadScroller(clouds1, "data/clouds1.anim", IMAGE_MAIN_CLOUDS1);
    LoadScroller(clouds2, "data/clouds2.anim", IMAGE_MAIN_CLOUDS2);
    fire.Load("data/fire.xml", "fire", true);
    fire.Start();
    torch.SetImage("images/main/fakel");
    torch.x = 2;
    torch.y = 577;
    torch.centred = false;
    LoadScroller(waves1, "data/waves.anim", nullptr);
    LoadScroller(waves2, "data/waves2.anim", nullptr);
    lightning.SetImage("images/main/lightning");
    lightning.centred = false;
    lightning.additive = true;
    lightning.SetAlpha(0);
    lightningTicks = 0;
    askForPlayer = true;
}

MainScreen::~MainScreen() { description.reset(); }

void MainScreen::Update() {
    clouds1.Update();
    clouds2.Update();
    fire.Update(kFireSecondsPerTick);
    lightningTicks += 1;
    if (lightningTicks % kLightningFadeIn == 0) {
        lightning.alpha = 0;
        lightning.targetAlpha = 255;
        lightning.step = kLightningInStep;
    }
    if (lightningTicks % kLightningFadeOut == 0) {
        lightning.alpha = static_cast<float>(static_cast<int>(lightning.alpha));
        lightning.targetAlpha = 0;
        lightning.step = -lightning.alpha / 10.0f;
    }
    if (lightningTicks % kLightningCycle == 0) {
        lightningTicks = 0;
        if (app != nullptr) {
            app->PlaySound("lightning", true);
        }
    }
    lightning.Update();
    waves1.Update();
    waves2.Update();
    if (app == nullptr || !app->IsSmoothUpdating()) {
        UpdateF(1.0f);
    }
}

void MainScreen::UpdateF(float fraction) {
    clouds1.Advance(fraction);
    clouds2.Advance(fraction);
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    const Profile_t* profile = profiles->GetCurrentProfile();
    SetLabel(nameLabel, profile != nullptr ? profile->name : std::string());
    // A player list rebuilt from a damaged one is told once, before anything else is asked.
    if (app != nullptr && app->GetDialog(kPlayerDialogId) == nullptr && app->GetDialog(kNameDialogId) == nullptr &&
        profiles->TakeListRepairNotice()) {
        app->ShowMessageBox(GameApp::kPlayersRepairedBox);
    }
    // Not while a name dialog is open: a game button pressed before the first update asks for
    // the name itself, and a second dialog would take its place.
    if (askForPlayer && profiles->GetProfileCount() == 0 && app != nullptr &&
        app->GetDialog(kPlayerDialogId) == nullptr && app->GetDialog(kNameDialogId) == nullptr) {
        askForPlayer = false;
        AskForName(0);
    }
    waves1.Advance(fraction);
    waves2.Advance(fraction);
}

void MainScreen::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0, 255));
    g->FillRect(0, 0, mWidth, mHeight);
    waves2.Draw(g);
    waves1.Draw(g);
    description->DrawImages(g, 0);
    lightning.Draw(g, 255.0f);
    clouds1.Draw(g);
    clouds2.Draw(g);
    description->DrawImages(g, 1);
    fire.Draw(g);
    torch.Draw(g, 255.0f);
}

void MainScreen::KeyUp(int key) {
    if (key == 27) {
        ButtonDepress(kExit);
    } else if (key == 112) {
        ButtonDepress(kHelp);
    }
}

void MainScreen::OnShown() {
    stopMusicOnHide = false;
    const char* music = Sound::GetCurrentMusicName();
    if (music == nullptr || std::strcmp(music, kMenuMusic) != 0) {
        app->StopMusic();
        Sound::PlayMusic(kMenuMusic, 2000, 1000);
    }
    fireSound = app->PlaySound("fire", false);
}

void MainScreen::OnHidden() {
    Sound::StopSound(fireSound, 100, true);
    fireSound = 0;
    if (stopMusicOnHide) {
        app->StopMusic();
    }
}

void MainScreen::ButtonMouseEnter(int id) {
    if (id != -1) {
        app->PlaySound("MouseEnter", false);
    }
}

void MainScreen::ButtonDepress(int id) {
    app->PlaySound("MouseDown", true);
    switch (id) {
        case kSimpleGame:
        case kAdventureGame: StartGame(id); break;
        case kOptions: {
            auto* options = new OptionsDialog("ui/options.txt", app);
            options->mDialogListener = this;
            app->AddDialog(options);
            if (app->GetWidgetManager() != nullptr) app->GetWidgetManager()->SetFocus(options);  // Esc closes it
            break;
        }
        case kHelp: HelpWidget_t::Open(app, this); break;
        case kScores: app->SwitchScreen(ScreenSwitch::kMainToHighScores); break;
        case kExit:
            if (app->ShowMessageBox(1)) {
                app->Shutdown();
            }
            break;
        case kChangePlayer: {
            auto* players = new NewUserDialog("UI/ChangeUser.txt", app);
            players->mDialogListener = this;
            app->AddDialog(players);
            break;
        }
        case kSponsorLink: app->OpenURL(TextTable_t::Instance()->Lookup("SponsorLink"), false); break;
        default: break;
    }
}

void MainScreen::StartGame(int id) {
    const int mode = id == kAdventureGame ? 1 : 0;
    app->gameMode = mode;
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    profiles->SetMode(mode);
    Progress_t* progress = profiles->GetCurrentProgress();
    if (app->GetTilesets() != nullptr) {
        app->GetTilesets()->SelectTileset(progress != nullptr ? progress->tileset : 0);
    }
    if (profiles->GetProfileCount() == 0) {
        AskForName(1);
        return;
    }
    if (progress == nullptr) {
        // Players exist but none is current (the current one was deleted):
        // the player picks one before a game can start.
        ButtonDepress(kChangePlayer);
        return;
    }
    // A new game resets the record: without a game to lose, at once; else only after the
    // question.
    if (mode == 0 ? !HoldsFreePlayResults(*progress) : !progress->stageStarted) {
        StartNewGame(1);
        return;
    }
    auto* choice = new FlyWidget_t("UI/SelectGame.txt", 0, true);
    UiDescription_t* ui = choice->GetDescription();
    Widget* score = ui->FindWidget("ScoreLbl");
    Widget* levelName = ui->FindWidget("LevelNameLbl");
    Widget* stage = ui->FindWidget("StageLbl");
    const int game = profiles->GetCurrentGame();
    SetLabel(score, FormatThousands(progress->totalScore));
    const StageCatalogue_t* stages = app->GetStageCatalogue();
    const Stage_t* currentStage = stages != nullptr ? stages->GetStage(progress->stage) : nullptr;
    const StageLevel_t* level = currentStage != nullptr ? currentStage->GetGame(game, progress->gameList) : nullptr;
    SetLabel(levelName, level != nullptr ? TextTable_t::Instance()->Lookup(level->name) : std::string());
    SetLabel(stage, FormatString("%d-%d", progress->stage + 1, game + 1));
    if (mode == 0) {
        // Free play has no stage to show; its question says what a new game takes away.
        for (Widget* label : {score, levelName, stage, ui->FindWidget("Question")}) SetShown(label, false);
        SetShown(ui->FindWidget("FreeQuestion"), true);
    }
    choice->mDialogListener = this;
    app->AddDialog(choice);
}

void MainScreen::StartNewGame(int gameList) {
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    profiles->ResetCurrentProgress();
    profiles->SetGameList(gameList - 1);
    if (StageCatalogue_t* stages = app->GetStageCatalogue()) {
        stages->listSelector = 0;
    }
    if (app->IsAdventureMode()) {
        app->SwitchScreen(ScreenSwitch::kMainToComix);
    } else {
        profiles->AddLevelRecord(0);
        profiles->AddLevelRecord(1);
        app->SwitchScreen(ScreenSwitch::kMainToSimple);
    }
}

void MainScreen::ContinueGame() {
    const Progress_t* progress = ProfileManager_t::Instance()->GetCurrentProgress();
    const bool levelInProgress = progress != nullptr && progress->gameInProgress;
    if (app->IsAdventureMode()) {
        stopMusicOnHide = false;
        app->SwitchScreen(ScreenSwitch::kMainToMap);
    } else if (levelInProgress) {
        stopMusicOnHide = true;
        app->SwitchScreen(ScreenSwitch::kMainToBoard);
    } else {
        app->SwitchScreen(ScreenSwitch::kMainToSimple);
    }
}

void MainScreen::AskForName(int userValue) {
    app->ShowUserNameDialog(kNameDialogId, userValue);
    if (app->userNameDialog != nullptr) {
        app->userNameDialog->mDialogListener = this;
        app->userNameDialog->userValue = userValue;
    }
}

void MainScreen::OnNameEntered(const std::string& name, int userValue) {
    PlayerList players(*ProfileManager_t::Instance());
    if (players.Add(name, static_cast<float>(app->GetSfxVolume()), static_cast<float>(app->GetMusicVolume())) !=
        PlayerList::AddResult::Added) {
        app->ShowMessageBox(2);
        AskForName(userValue);
        return;
    }
    if (userValue == 1) {
        ButtonDepress(app->IsAdventureMode() ? kAdventureGame : kSimpleGame);
    }
}

void MainScreen::DialogButtonDepress(int dialogId, int result) {
    if (app->GetWidgetManager() != nullptr) {
        app->GetWidgetManager()->SetFocus(this);
    }
    // The dialog goes first, so that a dialog opened below may reuse its id.
    std::string name;
    int userValue = 0;
    if (dialogId == kNameDialogId && app->userNameDialog != nullptr) {
        if (app->userNameDialog->GetEdit() != nullptr) {
            name = app->userNameDialog->GetEdit()->mString;
        }
        userValue = app->userNameDialog->userValue;
        app->userNameDialog = nullptr;
    }
    app->KillDialog(dialogId);
    if (dialogId == kNameDialogId && result == UserNameDialog::kConfirmButton && !name.empty()) {
        OnNameEntered(name, userValue);
    } else if (dialogId == kNewGameDialogId && (result == 1 || result == 2)) {
        StartNewGame(result);
    } else if (dialogId == kSelectGameDialogId) {
        if (result == 1) {
            ContinueGame();
        } else if (result == 2) {
            StartNewGame(1);
        }
    }
}

}  // namespace Velm

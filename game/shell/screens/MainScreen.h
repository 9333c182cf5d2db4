#pragma once

#include <memory>
#include <string>

#include "engine/anim/FadingImage.h"
#include "engine/anim/StillImage.h"
#include "engine/anim/TiledScrollAnim.h"
#include "game/shell/screens/FrameAnim.h"
#include "game/shell/ui/BaseDialogWidget.h"

namespace Velm {

class GameApp;
class UiDescription_t;
class Widget;

// The main menu ("ui/main.txt"): a night scene (two cloud layers, two wave
// layers, a torch, the frame-animated fire of "data/fire.xml" and a lightning
// flash every 1030 updates with thunder at its end), the current player's name
// and the buttons simple game (1), adventure (11), options (2), help (3), scores
// (4), exit (5, also Esc), change player (33) and the sponsor link (777). It
// starts a game in either mode (asking for a player first when there is none,
// offering to continue a started one through "UI/SelectGame.txt", dialog 303),
// and reacts to the name dialog (101) and the new-game choice (302).
//
// Built once by the loading thread with its pictures and animations loaded;
// shown and hidden by screen switches: OnShown starts the menu music (unless it
// already plays) and the looping "fire" sound, OnHidden stops that sound. Main
// thread from then on.
class MainScreen : public BaseDialogWidget {
public:
    enum {
        kSimpleGame = 1,
        kOptions = 2,
        kHelp = 3,
        kScores = 4,
        kExit = 5,
        kAdventureGame = 11,
        kChangePlayer = 33,
        kSponsorLink = 777,
        kBuyNow = 888
    };
    enum { kNameDialogId = 101, kNewGameDialogId = 302, kSelectGameDialogId = 303, kPlayerDialogId = 12 };
    static constexpr int kLightningFadeIn = 1000;
    static constexpr int kLightningFadeOut = 1020;
    static constexpr int kLightningCycle = 1030;
    static constexpr const char* kMenuMusic = "music/mainmenu";

    explicit MainScreen(GameApp* app);
    ~MainScreen() override;

    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    void KeyUp(int key) override;
    void OnShown() override;
    void OnHidden() override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;
    void DialogButtonDepress(int dialogId, int result) override;

    GameApp* app;
    bool askForPlayer = true;
    Widget* nameLabel = nullptr;
    std::unique_ptr<UiDescription_t> description;
    TiledScrollAnim_t clouds1;
    TiledScrollAnim_t clouds2;
    bool stopMusicOnHide = false;
    FrameAnim_t fire;
    StillImage_t torch;
    TiledScrollAnim_t waves1;
    TiledScrollAnim_t waves2;
    FadingImage_t lightning;
    int lightningTicks = 0;
    int fireSound = 0;

private:
    void StartGame(int id);
    void StartNewGame(int gameList);
    void ContinueGame();
    void AskForName(int userValue);
    void OnNameEntered(const std::string& name, int userValue);
};

}  // namespace Velm

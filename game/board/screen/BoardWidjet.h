#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/anim/FadingImage.h"
#include "engine/anim/LineMoveObj.h"
#include "game/board/LayoutListener.h"
#include "game/board/effects/BoardAppearEffect2.h"
#include "game/board/effects/BoardEffectListeners.h"
#include "game/board/effects/CollectibleHooks.h"
#include "game/board/effects/EffectGo.h"
#include "game/board/effects/EffectMultiply.h"
#include "game/board/effects/EffectRemover.h"
#include "game/board/effects/EffectSinus.h"
#include "game/board/effects/ObjectsManager.h"
#include "game/board/effects/Shadow.h"
#include "game/board/effects/StageBackground.h"
#include "game/board/screen/BoardHost.h"
#include "game/shell/GameIds.h"
#include "game/shell/ui/BaseDialogWidget.h"
#include "game/shell/ui/HistoryListener.h"
#include "game/shell/ui/MiniGameRegistry.h"
#include "graphics/Color.h"

class EffectChange3One;
class Stage_t;
struct StageLevel_t;
struct Progress_t;

namespace Velm {

class ButtonHint;
class ButtonWidget;
class Checkbox;
class HyperlinkWidget;
class Layout_t;
class UiDescription_t;

// The play screen on which every level is played. It owns no tiles: it picks the global layout
// of the level's game mode, hands it the pointer, draws and ticks it, and answers everything the
// layout reports (LayoutListener) with sounds, effects, points, labels and windows. One instance,
// built once by the loading thread from "ui/board.txt" and reused for every level.
//
// Time is update ticks of 10 ms. Board states: 0 level-name window, 1 level-start effect,
// 2 idle, 3 playing, 4 just shown, 8 end tally, 9 next level starting, 10 game finished,
// 11 stage finished; 15 a mini-game runs in place of the board, 16 a board-handled mini-game
// waits for its shadow to rise, 17 and 18 such a game winds down behind the shadow. The
// mini-game registry makes no game in this program: a level that names one is played on the
// board as any other.
//
// Every tool animation leads to its finish on the layout exactly once while the level lives
// (ApplySwap, FinishRemoverBonus, ResolveGroups, OnTileMoveFinished). A level start clears the
// effect lists without completing anything; the layout's next Load ends whatever operation was
// pending, so no board is left waiting for an animation that was cleared away.
//
// Main thread only; the loading thread only constructs it. Its button listener is the one its
// framework dialog base brings.
// The end of a level music track: the board starts the next one on its next update. Given to
// the host with the track; safe to call from any thread.
void BoardMusicEnded();

class BoardWidjet_t : public BaseDialogWidget,
                      public LayoutListener,
                      public BoardAppearEffectListener,
                      public BoardAppearEffect2Listener,
                      public ShuffleListener,
                      public SwapListener,
                      public ChangeListener,
                      public AddLayoutEffectListener,
                      public EffectRazlet3Listener,
                      public EffectGirlAppearListener,
                      public JewelInGameListener,
                      public HistoryListener,
                      public MiniGameListener,
                      public EffectRemoverListener,
                      public LineMoveObjListener,
                      public ObjectsManagerListener,
                      public EffectGoListener,
                      public StuffValueListener,
                      public BonusChangeListener {
public:
    enum BoardState {
        kStateLevelName = 0,
        kStateAppear = 1,
        kStateIdle = 2,
        kStatePlaying = 3,
        kStateEntered = 4,
        kStateTally = 8,
        kStateNextLevel = 9,
        kStateGameEnd = 10,
        kStateStageEnd = 11,
        kStateMiniGame = 15,
        kStateMiniGameShadow = 16,
        kStateMiniGameClosing = 17,
        kStateMiniGameClosed = 18
    };
    enum ButtonId { kShuffle = 1, kHint = 2, kUndo = 3, kSkipGame = 4, kSkipDialog = 5, kMenu = 777 };
    static constexpr int kHintCoolDownTicks = 3000;
    static constexpr int kHintToolTicks = 3000;

    // Any host (the program's is the application's GameAppBoardHost); uiFile is the screen's
    // description ("ui/board.txt").
    explicit BoardWidjet_t(std::unique_ptr<BoardHost> host, const std::string& uiFile = "ui/board.txt");
    ~BoardWidjet_t() override;

    Layout_t* CurrentLayout();

    // ---- Widget ----
    void Update() override;
    void UpdateF(float ticks) override;
    void Draw(Graphics* g) override;
    using BaseDialogWidget::DrawOverlay;
    void DrawOverlay(Graphics* g) override;
    void KeyUp(int key) override;
    void MouseMove(int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    using BaseDialogWidget::MouseDown;
    void MouseDown(int x, int y, int signedClickCount) override;
    using BaseDialogWidget::MouseUp;
    void MouseUp(int x, int y, int signedClickCount) override;
    void MouseDrag(int x, int y) override;
    void OnShown() override;
    void OnHidden() override;

    // ---- Controls ----
    void ButtonDepress(int id) override;
    void ButtonReenabled(int id) override;
    void CheckboxChecked(int id, bool checked) override;
    void DialogButtonDepress(int dialogId, int result) override;
    void UpdateButtons();
    void SetControlsVisible(bool visible);
    void FadeInLabels(bool all, float ticks, float startAlpha);
    void FadeOutLabels(float ticks, float startAlpha);
    void DrawBars(Graphics* g);

    // ---- Level flow ----
    // False when the level could not be loaded or dealt: the player was told and the board
    // has left for the level list or the map.
    bool StartLevel(bool reset);
    void UpdateTimeLabel(int ticks);
    // The label text of a time in ticks: "m : ss".
    static std::string FormatTime(int ticks);
    void ShowModeLabel(HyperlinkWidget* label);
    void ShowLevelName();
    void SetPaused(bool paused);
    // The window lost the keyboard focus: pauses a game in progress unless the level is
    // closing, the help page, a score table or the lose window is open, or no game runs.
    void PauseOnFocusLoss();
    void ShowNoMovesDialog();
    void ShowFlyMessage(const std::string& textKey, int dialogId);
    void ShowLoseDialog();
    void ShowShadow(int maximum);
    void CheckBoardState();
    void PlayLevelMusic();
    void ChargeUndo();
    // Points of a tile's class: "BonusSimple", "BonusFlower", "BonusSeason" or "BonusGold".
    int ClassValue(const LayoutCell_t* tile);

    // ---- Layout listener ----
    void OnPairRemoved(LayoutCell_t* tile) override;
    void OnSelectionChanged(LayoutCell_t* tile) override;
    void OnNoMoreMoves() override;
    void OnInvalidClick() override;
    void OnLevelComplete() override;
    void OnSwapBonusUsed(LayoutCell_t* a, LayoutCell_t* b, LayoutCell_t* tool) override;
    void OnRemoverBonusUsed(const std::vector<LayoutCell_t*>* targets, LayoutCell_t* tool) override;
    void OnChangeBonusUsed(const std::vector<LayoutCell_t*>* tiles, LayoutCell_t* tool) override;
    void OnSwapApplied() override;
    void OnRemoverApplied() override;
    void OnShuffleFinished() override;
    void OnBonusTileActivated(int tool, LayoutCell_t* tile) override;
    void OnBonusModeEnded(int tool, LayoutCell_t* tile) override;
    void OnDrawLayer(int layer, Graphics* g) override;
    void OnComboBonus(LayoutCell_t* tile) override;
    void OnGroupRemoved(const std::vector<LayoutCell_t*>* tiles, int second) override;
    void OnGroupFacesChanged(const std::vector<LayoutCell_t*>* tiles) override;
    void OnLayerTilesRemoved(const std::vector<LayoutCell_t*>* others,
                             const std::vector<LayoutCell_t*>* second) override;
    void OnTilesMoved(const std::vector<LayoutFlight_t>* flights) override;

    // ---- Effects ----
    void OnAppearFinished() override {}
    void OnAppear2Finished() override;
    void OnSwapEffectDone() override;
    void OnBonusChangeDone() override;
    void OnChangeEffectDone() override;
    void OnRemoverTargetReached(EffectRemover* effect, int target) override;
    void OnRemoverDone(EffectRemover* effect) override;
    void OnLineMoveDone(LineMoveObj* mover) override;
    void OnAllObjectsRemoved() override;
    void OnGoDone(EffectGo* effect) override;

    // ---- Collectible hooks (unreached in this game: nothing makes jewels or items) ----
    void OnJewelFound(Jewel_t* jewel) override;
    void OnStuffValueReached(StuffValue_t* value) override;

    // ---- Mini-game hooks ----
    // The story before the level has ended: the level's mini-game starts, or with none (or
    // none that can be made) the level-name window opens.
    void OnHistoryDone() override;
    void OnMiniGameFinished(MiniGame* game) override;
    // A mini-game runs or winds down in place of the board (states 15 to 18).
    bool IsMiniGameShowing() const;

    BoardHost& Host() { return *mHost; }

    // ---- State (read by tests and the application) ----
    int boardState = kStateIdle;
    int stateTicks = 0;
    int openDialogs = 0;
    int pointerX = 0;
    int pointerY = 0;
    StageLevel_t* levelRecord = nullptr;  // the record at the level number
    StageLevel_t* currentGame = nullptr;  // the record of the current game
    Stage_t* stage = nullptr;
    int stageNumber = 0;
    int levelNumber = 0;
    int gameType = 0;
    int miniGameId = -1;
    int timeValue = 180000;
    int timeStep = -1;
    bool timeFrozen = false;
    int displayedTime = 0;
    Color timeColour;
    std::array<int, 5> scores{};  // bonus base, 0, 0, game score, time bonus
    bool levelCompleted = false;
    bool tallyStarted = false;
    bool keepLevelOnShow = false;
    bool firstHintUsed = false;
    int gameOutcome = 1;
    int hintTicks = 0;
    int musicTrack = -1;
    bool debugKeys = false;

    HyperlinkWidget* levelNameLbl = nullptr;
    HyperlinkWidget* gameTypeLbl = nullptr;
    HyperlinkWidget* timeLbl = nullptr;
    HyperlinkWidget* matchesLbl = nullptr;
    HyperlinkWidget* tilesRemainingLbl = nullptr;
    HyperlinkWidget* timeLblCap = nullptr;
    HyperlinkWidget* showFree1Lbl = nullptr;
    HyperlinkWidget* showFree2Lbl = nullptr;
    ButtonWidget* shuffleButton = nullptr;
    ButtonWidget* undoButton = nullptr;
    ButtonWidget* skipGameButton = nullptr;
    ButtonWidget* skipDialogButton = nullptr;
    ButtonHint* hintButton = nullptr;
    Checkbox* freeTilesBox = nullptr;
    std::vector<HyperlinkWidget*> labels;

    FadingImage_t topBar;
    FadingImage_t bottomBar;
    std::unique_ptr<Shadow> shadow;
    std::unique_ptr<BackShadow> backShadow;
    std::unique_ptr<BoardAppearEffect2> appearEffect;
    ObjectsManager listA;
    ObjectsManager listB;
    ObjectsManager listC;
    ObjectsManager listD;
    ObjectsManager listE;
    std::unique_ptr<EffectChange3One> toolRing;
    StageBackground_t background;
    // Collectible items, jewels and the clothes progress value (idle: nothing feeds them here).
    BoardCollectibles_t collectibles;
    // The running mini-game, made by the registry (none in this game).
    std::unique_ptr<MiniGame> miniGame;

private:
    void Construct(const std::string& uiFile);
    Progress_t* Progress();
    void PlaySound(const std::string& name) { mHost->PlaySound(name); }
    HyperlinkWidget* FindLabel(const std::string& name);
    void DropToolRing();
    void AddTileFade(const LayoutCell_t* tile, int delay, int fadeTicks);
    void AddHintMarker(const LayoutCell_t* tile);
    void AddRemovalEffects(int value);
    void ShowTip(int index, int x, int y, bool force, int value);
    void ShowHelpOnce(int index);
    void ShowHelpPage(int page);
    void UpdatePlayingTick();
    void UpdateTally();
    void CheckTimeOut();
    void CloseShadow();
    void OnLevelCompleteDialogResult();
    void RestartLevel();
    void LeaveForList();
    void HandleDebugKey(int key);
    // Makes the level's mini-game, started in state 15 with the controls hidden; false (and
    // nothing changed) when the registry has none.
    bool CreateMiniGame();
    void UpdateMiniGameStates();
    // After a mini-game: labels and bars back, and the level-name window when it was skipped.
    void ReturnFromMiniGame(bool showControls);
    // The music callback stops reaching this screen (its destruction).
    void ReleaseMusicCallback();
    // The banner's kind goes into its DrawObject mode, so that its end is told apart.
    enum GoKind { kGoCombo = 0, kGoLevelComplete = 1, kGoTimeOver = 2 };
    void AddGo(Image* picture, int kind);
    void ShowWords();
    // Opens a window that counts as open for the board (pause, menu, no moves, help); one that
    // cannot be made leaves the board running.
    void OpenCountedDialog(const BoardDialogRequest& request);
    std::string Text(const std::string& key) const;

    std::unique_ptr<BoardHost> mHost;
    std::unique_ptr<UiDescription_t> mDescription;
    // The music track ended (set by the music callback, acted on by the next update).
    std::atomic<bool> mMusicEnded{false};
    bool mLevelMusicPlaying = false;

    friend void BoardMusicEnded();
};

}  // namespace Velm

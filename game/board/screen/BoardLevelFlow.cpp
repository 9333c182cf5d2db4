// The life of one level on the play screen: entering, loading and dealing, the level-name
// window, the appear effect, the time, the end of a level and the windows' results.

#include <algorithm>
#include <cstdio>

#include "game/board/GlobalLayouts.h"
#include "game/board/Layout.h"
#include "game/board/effects/EffectChange3One.h"
#include "game/board/effects/HintEffect.h"
#include "game/board/effects/ScoreEffect2.h"
#include "game/board/effects/SimpleEffect2.h"
#include "game/board/screen/BoardWidjet.h"
#include "game/shell/BonusSettings.h"
#include "game/shell/DataNumbers.h"
#include "game/shell/MusicPlaylist.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TextTable.h"
#include "game/shell/TimeBonus.h"
#include "game/shell/TipKeys.h"
#include "game/shell/ui/ButtonHint.h"
#include "widgets/Checkbox.h"
#include "widgets/HyperlinkWidget.h"

namespace Velm {

namespace {

// The one play screen, for the music callback (a plain function of the sound API).
BoardWidjet_t* gMusicBoard = nullptr;

const char* const kModeKeys[] = {"GameUsual",       "GameSwapColl",      "GameOneColl", "GameMemory",
                                 "GameLogicalPair", "GameOneUnPairColl", "Game4Rivers"};

}  // namespace

// The end of a music track. The sound API calls it on the main thread; even so the board only
// notes it here and starts the next track from its own update.
void BoardMusicEnded() {
    if (gMusicBoard != nullptr) gMusicBoard->mMusicEnded = true;
}

void BoardWidjet_t::ReleaseMusicCallback() {
    if (gMusicBoard == this) gMusicBoard = nullptr;
}

void BoardWidjet_t::PlayLevelMusic() {
    gMusicBoard = this;
    std::string file = "music/";
    MusicPlaylist_t* playlist = mHost->GetMusicPlaylist();
    if (playlist != nullptr && !playlist->entries.empty()) {
        const int count = static_cast<int>(playlist->entries.size());
        const auto& entry = playlist->entries[static_cast<size_t>(((levelNumber % count) + count) % count)];
        if (!entry.empty()) {
            musicTrack = (musicTrack + 1) % static_cast<int>(entry.size());
            file += entry[static_cast<size_t>(musicTrack)];
        }
    }
    mHost->PlayMusicTrack(file, &BoardMusicEnded);
}

// ---- Entering and starting --------------------------------------------------------------------

void BoardWidjet_t::OnShown() {
    musicTrack = -1;
    PlayLevelMusic();
    if (!keepLevelOnShow) {
        levelRecord = nullptr;
        currentGame = nullptr;
        CurrentLayout()->StartFade(2);
        shadow.reset();
        UpdateTimeLabel(0);
        boardState = kStateEntered;
        stateTicks = 0;
        timeValue = 0;
        SetControlsVisible(true);
        Progress_t* record = Progress();
        const bool started = StartLevel(record == nullptr || !record->gameInProgress);
        // A level whose mini-game goes on keeps the bars and labels out; every other level
        // (a mini-game the registry cannot make included) shows them.
        if (started && !miniGame) FadeInLabels(false, 200, 1);
    }
    keepLevelOnShow = false;
}

bool BoardWidjet_t::StartLevel(bool reset) {
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    Progress_t* record = Progress();
    levelCompleted = false;
    tallyStarted = false;
    timeFrozen = false;
    displayedTime = 0;

    // Whatever ran for the last level goes first, completing nothing.
    CurrentLayout()->toolMode = Layout_t::kNoTool;
    appearEffect.reset();
    DropToolRing();
    listB.Clear();
    listA.Clear();
    listD.Clear();
    listE.Clear();
    hintTicks = 0;
    firstHintUsed = false;
    gameOutcome = 1;

    stageNumber = record != nullptr ? record->stage : 0;
    levelNumber = record != nullptr ? record->orderPos : 0;
    StageCatalogue_t* catalogue = mHost->GetStageCatalogue();
    stage = catalogue != nullptr ? catalogue->GetStage(stageNumber) : nullptr;
    const int list = record != nullptr ? record->gameList : 0;
    levelRecord = stage != nullptr ? stage->GetGame(levelNumber, list) : nullptr;
    currentGame = stage != nullptr ? stage->GetGame(profiles->GetCurrentGame(), list) : nullptr;
    if (currentGame == nullptr) {
        mHost->ShowLevelError("LevelMissing", "no level at stage " + std::to_string(stageNumber) + ", game " +
                                                      std::to_string(profiles->GetCurrentGame()));
        LeaveForList();
        return false;
    }

    background.SetImages(stage->day, stage->night, stage->heroDay, stage->heroNight, stage->heroX, stage->heroY);
    background.SetTimes(180, 90, 60);
    scores = {};
    if (levelRecord != nullptr) scores[0] = levelRecord->clothesCount + levelRecord->bonusCount;

    gameType = currentGame->type;
    Layout_t* layout = CurrentLayout();
    layout->SetListener(this);
    if (record != nullptr) layout->showBlocked = record->showBlocked;
    if (freeTilesBox != nullptr) freeTilesBox->mChecked = layout->showBlocked;
    const bool adventure = mHost->IsAdventureMode();
    timeStep = adventure ? -1 : 1;

    // A layout the loader refuses, or a deal the mode refuses, is never played: the previous
    // board must not come back as this level.
    if (!layout->Load(currentGame->layout)) {
        mHost->ShowLevelError("LevelLoadFailed", layout->GetLoadError());
        LeaveForList();
        return false;
    }
    layout->Deal(true);
    if (!layout->GetDealError().empty()) {
        mHost->ShowLevelError("LevelLoadFailed", layout->GetDealError());
        LeaveForList();
        return false;
    }
    layout->toolMode = Layout_t::kNoTool;

    timeValue = adventure ? currentGame->time * 6000 + 50 : 1;
    if (levelNameLbl != nullptr) levelNameLbl->SetAlphaFade(0, 0, 0);
    if (gameTypeLbl != nullptr) gameTypeLbl->SetAlphaFade(0, 0, 0);
    layout->FindAvailablePairs();

    if (record != nullptr) {
        record->gameScore = 0;
        if (reset) {
            record->jewelCount = 0;
            record->jewelCountB = 0;
        }
    }
    miniGameId = -1;
    miniGame.reset();
    if (adventure && stage != nullptr) {
        miniGameId = stage->FindMiniGame(levelNumber);
        if (miniGameId != -1 && profiles->IsMiniGameCompleted(miniGameId)) miniGameId = -1;
        // A started mini-game goes on, when the registry can make it.
        if (miniGameId != -1 && profiles->IsMiniGameStarted(miniGameId) && CreateMiniGame()) FadeOutLabels(1, 255);
    }
    if (record != nullptr) record->timeLeft = timeValue;

    if (levelNameLbl != nullptr) {
        const std::string name = Text(currentGame->name);
        levelNameLbl->mLabel = name.empty() ? Text("Layout name") : name;
    }
    ShowModeLabel(gameTypeLbl);
    ShowWords();
    // Stages list no collectible items in this game.
    collectibles.StartLevel({}, record != nullptr ? record->jewelCount : 0);
    profiles->Save();
    return true;
}

void BoardWidjet_t::LeaveForList() {
    // A level that cannot be played: back to where levels are chosen.
    boardState = kStateIdle;
    stateTicks = 0;
    CloseShadow();
    mHost->StopMusic();
    mHost->SwitchScreen(mHost->IsAdventureMode() ? ScreenSwitch::kBoardToMap : ScreenSwitch::kBoardToSimple);
}

void BoardWidjet_t::ShowWords() {
    if (matchesLbl != nullptr) matchesLbl->mLabel = Text("Matches");
    if (tilesRemainingLbl != nullptr) tilesRemainingLbl->mLabel = Text("TilesRemaining");
}

void BoardWidjet_t::ShowModeLabel(HyperlinkWidget* label) {
    if (label == nullptr || gameType < GameUsual || gameType > Game4Rivers) return;
    label->mLabel = Text(kModeKeys[gameType]);
}

void BoardWidjet_t::ShowLevelName() {
    displayedTime = 0;
    BoardDialogRequest request;
    request.kind = BoardDialog::LevelName;
    char stageText[256];
    std::snprintf(stageText, sizeof stageText, "%s %d-%s %d", Text("Stage").c_str(), stageNumber + 1,
                  Text("Level").c_str(), levelNumber + 1);
    request.stageText = stageText;
    request.levelName = currentGame != nullptr ? Text(currentGame->name) : std::string();
    if (gameType >= GameUsual && gameType <= Game4Rivers) request.modeText = Text(kModeKeys[gameType]);
    boardState = kStateLevelName;
    // Without its window the level starts as if the window had closed.
    if (!mHost->OpenDialog(request, this)) DialogButtonDepress(BoardDialogId::kLevelName, 1);
}

// ---- The update tick --------------------------------------------------------------------------

void BoardWidjet_t::Update() {
    if (mMusicEnded.exchange(false)) PlayLevelMusic();
    if (shadow) {
        shadow->Update();
        if (shadow->IsFinished()) shadow.reset();
    }
    Layout_t* layout = CurrentLayout();
    layout->Update();
    for (int i = 0; i < listD.Count(); ++i) {
        if (auto* marker = dynamic_cast<HintEffect*>(listD.At(i))) marker->alpha = layout->fadeAlpha;
    }
    if (openDialogs > 0) {
        if (hintButton != nullptr) hintButton->mTimerOn = false;
        return;
    }
    if (boardState != kStateIdle) ++stateTicks;
    background.Update();

    switch (boardState) {
        case kStateAppear:
            if (mHost->IsAdventureMode()) {
                displayedTime = std::min(displayedTime + 2000, timeValue);
                UpdateTimeLabel(displayedTime);
            }
            if (appearEffect) appearEffect->Update();
            break;
        case kStateIdle: stateTicks = 0; break;
        case kStatePlaying:
        case kStateNextLevel: UpdatePlayingTick(); break;
        case kStateEntered:
            if (stateTicks == 150) {
                ShowLevelName();
                if (shadow) shadow->Close();
            }
            break;
        case kStateTally: UpdateTally(); break;
        case kStateStageEnd:
            if (stateTicks == 100) {
                boardState = kStateIdle;
                mHost->FadeOutSoundEffects();
                mHost->StopMusic();
                mHost->SwitchScreen(ScreenSwitch::kBoardToMap);
            }
            break;
        case kStateMiniGame:
        case kStateMiniGameShadow:
        case kStateMiniGameClosing:
        case kStateMiniGameClosed: UpdateMiniGameStates(); break;
        default: break;
    }

    topBar.Update();
    bottomBar.Update();
    listB.Update();
    listA.Update();
    listC.Update();
    collectibles.value.Tick();
    JewelsManager_t::Instance().Update();
    listD.Update();
    UpdateButtons();
    if (!mHost->IsSmoothUpdating()) UpdateF(1);
}

void BoardWidjet_t::UpdatePlayingTick() {
    Layout_t* layout = CurrentLayout();
    UpdateTimeLabel(timeValue);
    Progress_t* record = Progress();
    if (stateTicks % 100 == 0 && record != nullptr) record->timeLeft = timeValue;
    if (hintTicks > 0) --hintTicks;
    if (!appearEffect) {
        char text[256];
        if (matchesLbl != nullptr) {
            std::snprintf(text, sizeof text, "%s %d", Text("Matches").c_str(),
                          static_cast<int>(layout->availablePairs.size()));
            matchesLbl->mLabel = text;
        }
        if (tilesRemainingLbl != nullptr) {
            std::snprintf(text, sizeof text, "%s %d", Text("TilesRemaining").c_str(), layout->CountPlayableTiles());
            tilesRemainingLbl->mLabel = text;
        }
    }
    if (!timeFrozen && timeValue > 0) timeValue += timeStep;
    if (toolRing && toolRing->Update()) DropToolRing();
    CheckTimeOut();
}

void BoardWidjet_t::CheckTimeOut() {
    Progress_t* record = Progress();
    if (timeValue > 0 || record == nullptr || !record->gameInProgress) return;
    mHost->SetDefaultCursor();
    // A tool whose move runs keeps it: its animation ends it; only an idle tool is dropped.
    CurrentLayout()->DropTool();
    ProfileManager_t::Instance()->EndGameAndSave();
    AddGo(mHost->GetResourceImage(IMAGE_TIME_IS_OVER_ID), kGoTimeOver);
    PlaySound("timeup");
}

void BoardWidjet_t::AddGo(Image* picture, int kind) {
    auto* go = new EffectGo(picture, mHost->GetWidth() / 2, mHost->GetHeight() / 2, 100, this, 100);
    go->mode = kind;
    listB.AddObject(go);
}

std::string BoardWidjet_t::FormatTime(int ticks) {
    const int minutes = ticks / 6000;
    const int seconds = (ticks % 6000) / 100;
    char text[64];
    std::snprintf(text, sizeof text, seconds > 9 ? "%d : %d" : "%d : 0%d", minutes, seconds);
    return text;
}

void BoardWidjet_t::UpdateTimeLabel(int ticks) {
    if (timeLbl == nullptr) return;
    timeLbl->mLabel = FormatTime(ticks);
    const bool warning = mHost->IsAdventureMode() && ticks > 0 && ticks < 3000;
    timeLbl->mColor = !levelCompleted && warning && ticks % 200 < 100 ? Color(255, 0, 0) : timeColour;
    if (warning && stateTicks % 500 == 0) PlaySound("timeending");
}

void BoardWidjet_t::CheckBoardState() {
    if (levelCompleted) return;
    Layout_t* layout = CurrentLayout();
    if (layout->IsCleared()) {
        timeFrozen = true;
        OnLevelComplete();
        return;
    }
    if (!layout->availablePairs.empty()) return;
    PlaySound("nomoremoves");
    ShowNoMovesDialog();
}

void BoardWidjet_t::OnAllObjectsRemoved() { CheckBoardState(); }

void BoardWidjet_t::OnShuffleFinished() { CheckBoardState(); }

void BoardWidjet_t::OnAppear2Finished() {
    // The effect is deleted after its update has returned: the next tick sees it gone.
    appearEffect.reset();
    ProfileManager_t::Instance()->MarkGameStarted();
    boardState = kStatePlaying;
    stateTicks = 0;
    Layout_t* layout = CurrentLayout();
    layout->ResetCounters();
    CheckBoardState();
    SetControlsVisible(true);
    if (gameTypeLbl != nullptr) gameTypeLbl->SetAlphaFade(0, 255, 5.1f);
    if (levelNameLbl != nullptr) levelNameLbl->SetAlphaFade(0, 255, 5.1f);
    ShowHelpOnce(layout->HasSpecialTiles() ? BoardTip::kHelperTilesHelp : BoardTip::kFirstModeHelp + gameType);
    ProfileManager_t::Instance()->Save();
}

// ---- Level end ---------------------------------------------------------------------------------

void BoardWidjet_t::OnGoDone(EffectGo* effect) {
    if (effect->mode == kGoTimeOver) {
        ShowLoseDialog();
        return;
    }
    if (effect->mode != kGoLevelComplete) return;
    CloseShadow();
    if (timeLbl != nullptr)
        listB.AddObject(new BonusText(scores[4], static_cast<float>(timeLbl->mX), static_cast<float>(timeLbl->mY)));
    Layout_t* layout = CurrentLayout();
    layout->CollectTilesInScanOrder();
    for (int tile : layout->scanList) AddTileFade(&layout->Cell(tile), RandomInRange(0, 50), 20);
    boardState = kStateTally;
    ShowWords();
    stateTicks = 0;
    displayedTime = timeValue;
}

void BoardWidjet_t::UpdateTally() {
    if (displayedTime > 0) {
        displayedTime = std::max(0, displayedTime - 1000);
        UpdateTimeLabel(displayedTime);
        return;
    }
    if (tallyStarted || stateTicks < 100) return;
    tallyStarted = true;
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    Progress_t* record = Progress();
    const BonusSettings& bonus = mHost->GetBonusSettings();
    const int limit = currentGame != nullptr ? currentGame->time : 0;
    scores[3] = record != nullptr ? record->gameScore : 0;
    scores[4] = ComputeTimeBonus(mHost->IsAdventureMode(), limit, timeValue, bonus.timeBonus);
    if (!mHost->IsAdventureMode()) {
        StageCatalogue_t* catalogue = mHost->GetStageCatalogue();
        // The level just played: the level end has already moved the profile on to the next game.
        const int flat = catalogue != nullptr ? catalogue->GetFlatGameIndex(stageNumber, levelNumber) : -1;
        if (LevelRecord_t* best = profiles->FindLevelRecord(flat)) {
            // The best of all finishes: the lowest time and the highest score.
            const int score = DataNumbers::AddClamped(scores[4], scores[3]);
            if (best->bestTime <= 0 || timeValue < best->bestTime) best->bestTime = timeValue;
            if (score > best->bestScore) best->bestScore = score;
            if (!best->flag && 0.66f * (static_cast<float>(limit) * 6000.0f) > static_cast<float>(timeValue)) {
                best->flag = true;
                const int total = catalogue != nullptr ? catalogue->GetTotalGameCount() : 0;
                profiles->AddLevelRecord(profiles->FirstMissingLevel(total));
                profiles->AddLevelRecord(profiles->FirstMissingLevel(total));
            }
            profiles->Save();
        }
    }
    timeValue = 0;
    ShowShadow(160);
    mHost->CloseTip(false);
    BoardDialogRequest request;
    request.kind = BoardDialog::LevelComplete;
    std::copy(scores.begin(), scores.end(), request.scores);
    request.levelLabel = levelNameLbl != nullptr ? levelNameLbl->mLabel : std::string();
    if (!mHost->OpenDialog(request, this)) DialogButtonDepress(BoardDialogId::kLevelComplete, 1);
}

// ---- Windows ------------------------------------------------------------------------------------

void BoardWidjet_t::ShowShadow(int maximum) {
    shadow = std::make_unique<Shadow>();
    shadow->maximum = static_cast<float>(maximum);
    shadow->width = mHost->GetWidth();
    shadow->height = mHost->GetHeight();
}

void BoardWidjet_t::CloseShadow() {
    if (shadow) shadow->Close();
}

void BoardWidjet_t::SetPaused(bool paused) {
    Layout_t* layout = CurrentLayout();
    if (paused) {
        if (openDialogs > 0) return;
        layout->StartFade(1);
        timeFrozen = true;
        ShowShadow(140);
        BoardDialogRequest request;
        request.kind = BoardDialog::Pause;
        OpenCountedDialog(request);
        if (openDialogs == 0) {
            layout->StartFade(0);
            timeFrozen = false;
        }
    } else if (openDialogs > 0) {
        layout->StartFade(0);
        timeFrozen = false;
        CloseShadow();
        --openDialogs;
    }
}

void BoardWidjet_t::PauseOnFocusLoss() {
    if (levelCompleted) return;
    if (mHost->IsDialogOpen(BoardDialogId::kHelp) || mHost->IsDialogOpen(BoardDialogId::kScoreTable) ||
        mHost->IsDialogOpen(BoardDialogId::kLose))
        return;
    const Progress_t* record = Progress();
    if (record == nullptr || !record->gameInProgress) return;
    SetPaused(true);
}

void BoardWidjet_t::ShowNoMovesDialog() {
    Progress_t* record = Progress();
    if (mHost->IsDialogOpen(BoardDialogId::kNoMoves) || (record != nullptr && record->dontShowNoMoves)) return;
    BoardDialogRequest request;
    request.kind = BoardDialog::NoMoves;
    request.text = Text("OneParaLeftShuffle");
    OpenCountedDialog(request);
}

void BoardWidjet_t::ShowFlyMessage(const std::string& textKey, int dialogId) {
    ShowShadow(140);
    BoardDialogRequest request;
    request.kind = BoardDialog::FlyMessage;
    request.dialogId = dialogId;
    request.text = Text(textKey);
    mHost->OpenDialog(request, this);
}

void BoardWidjet_t::ShowLoseDialog() {
    openDialogs = std::max(0, openDialogs - 1);
    mHost->KillDialog(BoardDialogId::kHelp);
    DropToolRing();
    // The game is over: the tiles fade away, so that none shows round the window.
    CurrentLayout()->StartFade(1);
    BoardDialogRequest request;
    request.kind = BoardDialog::Lose;
    request.hideReplay = !mHost->IsAdventureMode() || ProfileManager_t::Instance()->IsLastGameOfStage();
    if (!mHost->OpenDialog(request, this)) DialogButtonDepress(BoardDialogId::kLose, 3);
}

void BoardWidjet_t::ShowHelpOnce(int index) {
    Progress_t* record = Progress();
    if (!mHost->IsAdventureMode() || record == nullptr || index < 0 || index >= Progress_t::kTipCount) return;
    if (record->tipSeen[static_cast<size_t>(index)]) return;
    record->tipSeen[static_cast<size_t>(index)] = true;
    ShowHelpPage(index - BoardTip::kFirstModeHelp);
}

void BoardWidjet_t::ShowHelpPage(int page) {
    BoardDialogRequest request;
    request.kind = BoardDialog::HelpPage;
    request.page = page;
    OpenCountedDialog(request);
}

void BoardWidjet_t::OpenCountedDialog(const BoardDialogRequest& request) {
    ++openDialogs;
    if (mHost->OpenDialog(request, this)) return;
    --openDialogs;
    CloseShadow();
}

void BoardWidjet_t::ShowTip(int index, int x, int y, bool force, int value) {
    // The tip counts as seen when the application closes its window; one that cannot be made
    // counts as seen at once, so that it is not offered again.
    Progress_t* record = Progress();
    if (!mHost->IsAdventureMode() || record == nullptr || index < 0 || index >= Progress_t::kTipCount) return;
    if (!force && record->tipSeen[static_cast<size_t>(index)]) return;
    BoardDialogRequest request;
    request.kind = BoardDialog::Tip;
    request.text = Text(GetTipKey(index));
    request.tipIndex = index;
    request.tipValue = value;
    request.pointX = x;
    request.pointY = y;
    if (!mHost->OpenDialog(request, this)) record->tipSeen[static_cast<size_t>(index)] = true;
}

void BoardWidjet_t::RestartLevel() {
    ProfileManager_t::Instance()->Save();
    if (StartLevel(true)) ShowLevelName();
}

void BoardWidjet_t::DialogButtonDepress(int dialogId, int result) {
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    Progress_t* record = Progress();
    switch (dialogId) {
        case BoardDialogId::kNoMoreMoves: ShowLoseDialog(); break;
        case BoardDialogId::kBeforeTryMore: ShowFlyMessage("TryMore", BoardDialogId::kTryMore); break;
        case BoardDialogId::kQuiet: break;
        case BoardDialogId::kLevelComplete: OnLevelCompleteDialogResult(); break;
        case BoardDialogId::kTryMore:
            CloseShadow();
            stateTicks = 0;
            boardState = kStateStageEnd;
            break;
        case BoardDialogId::kGameMenu: {
            const bool toMain = mHost->ReadDialogFlag(dialogId, "toMainMenu");
            const bool toList = mHost->ReadDialogFlag(dialogId, "toLevelList");
            UpdateButtons();
            mHost->SetDefaultCursor();
            openDialogs = std::max(0, openDialogs - 1);
            CurrentLayout()->StartFade(0);
            CloseShadow();
            if (toMain || toList) {
                mHost->StopMusic();
                mHost->SwitchScreen(toMain ? ScreenSwitch::kBoardToMain : ScreenSwitch::kBoardToSimple);
            } else if (result == 5) {
                RestartLevel();
            }
            break;
        }
        case BoardDialogId::kNoMoves:
            if (record != nullptr) record->dontShowNoMoves = mHost->ReadDialogFlag(dialogId, "DontShow");
            openDialogs = std::max(0, openDialogs - 1);
            break;
        case BoardDialogId::kPause: SetPaused(false); break;
        case BoardDialogId::kScoreTable:
            CloseShadow();
            stateTicks = 0;
            boardState = kStateIdle;
            mHost->StopMusic();
            mHost->SwitchScreen(ScreenSwitch::kBoardToMain);
            break;
        case BoardDialogId::kLose:
            if (result == 2) profiles->PostponeCurrentGame();
            if (result == 1 || result == 2) {
                CurrentLayout()->StartFade(2);
                RestartLevel();
            } else if (result == 3) {
                profiles->Save();
                mHost->StopMusic();
                mHost->SwitchScreen(ScreenSwitch::kBoardToMain);
            }
            CloseShadow();
            break;
        case BoardDialogId::kHelp: openDialogs = std::max(0, openDialogs - 1); break;
        case BoardDialogId::kLevelName:
            stateTicks = 0;
            boardState = kStateAppear;
            appearEffect = std::make_unique<BoardAppearEffect2>(CurrentLayout(), this);
            CloseShadow();
            break;
        case BoardDialogId::kGameOver: {
            const Profile_t* profile = profiles->GetCurrentProfile();
            const int place =
                    mHost->InsertHighScore(profile != nullptr ? profile->name : std::string(),
                                           record != nullptr ? record->totalScore : 0, stageNumber, levelNumber);
            CloseShadow();
            stateTicks = 0;
            if (place == -1) {
                boardState = kStateIdle;
                mHost->StopMusic();
                mHost->SwitchScreen(ScreenSwitch::kBoardToMain);
            } else {
                BoardDialogRequest request;
                request.kind = BoardDialog::HighScores;
                request.position = place;
                mHost->OpenDialog(request, this);
            }
            break;
        }
        default: mHost->CloseTip(false); break;
    }
    mHost->KillDialog(dialogId);
    mHost->SetFocus(this);
}

void BoardWidjet_t::OnLevelCompleteDialogResult() {
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    Progress_t* record = Progress();
    mHost->FadeOutSoundEffects();
    stateTicks = 0;
    tallyStarted = false;
    if (!mHost->IsAdventureMode()) {
        mHost->KillDialog(BoardDialogId::kLevelComplete);
        mHost->StopMusic();
        mHost->SwitchScreen(ScreenSwitch::kBoardToSimple);
        return;
    }
    if (gameOutcome == 0) {
        boardState = kStateStageEnd;
        CloseShadow();
        PlaySound("StageComplete");
    } else if (gameOutcome == 1) {
        boardState = kStateNextLevel;
        CloseShadow();
        if (StartLevel(true)) ShowLevelName();
    } else {
        profiles->ResetStageOrder();
        const Profile_t* profile = profiles->GetCurrentProfile();
        const int place = mHost->InsertHighScore(profile != nullptr ? profile->name : std::string(),
                                                 record != nullptr ? record->totalScore : 0, stageNumber, levelNumber);
        profiles->Save();
        CloseShadow();
        stateTicks = 0;
        mHost->TellGameOverPlace(place != -1);
        mHost->StopMusic();
        mHost->SwitchScreen(ScreenSwitch::kBoardToGameOver);
        boardState = kStateGameEnd;
    }
}

}  // namespace Velm

// What the play screen does for the layout's notifications of play: points, sounds, effects
// and the end of the level.

#include "game/board/BoardTileSet.h"
#include "game/board/Layout.h"
#include "game/board/effects/EffectMultiply.h"
#include "game/board/effects/HintEffect.h"
#include "game/board/effects/ScoreEffect2.h"
#include "game/board/effects/SimpleEffect2.h"
#include "game/board/screen/BoardWidjet.h"
#include "game/shell/BonusSettings.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ui/ButtonHint.h"
#include "widgets/HyperlinkWidget.h"

namespace Velm {

namespace {

void AddScore(ObjectsManager& list, int value, const LayoutCell_t* tile) {
    if (tile != nullptr) list.AddObject(new ScoreEffect2({value, tile->x, tile->y}));
}

}  // namespace

void BoardWidjet_t::OnPairRemoved(LayoutCell_t* tile) {
    const int value = ClassValue(tile);
    PlaySound("RemoveColl");
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    profiles->AddGameScore(2 * value);
    profiles->Save();
    AddRemovalEffects(value);

    if (stageNumber != 0 || !mHost->IsAdventureMode()) return;
    if (levelNumber > 3 && gameType == GameUsual && gameTypeLbl != nullptr) {
        ShowTip(BoardTip::kModeLabel, gameTypeLbl->mX + gameTypeLbl->mWidth / 2,
                gameTypeLbl->mY + gameTypeLbl->mHeight / 2, false, 1);
    }
    if (hintButton != nullptr)
        ShowTip(BoardTip::kHint, hintButton->mX + hintButton->mWidth / 2, hintButton->mY + hintButton->mHeight / 2,
                false, 1);
}

void BoardWidjet_t::AddRemovalEffects(int value) {
    mHost->CloseTip(true);
    listD.Clear();
    // The move being recorded: the layout tells of the pair before the move joins its history.
    Layout_t* layout = CurrentLayout();
    auto recordTile = [layout](size_t k) -> LayoutCell_t* {
        if (k >= layout->currentMove.size()) return nullptr;
        const int tile = layout->currentMove[k].tile;
        return tile >= 0 && tile < Layout_t::kMaxTiles ? &layout->Cell(tile) : nullptr;
    };
    LayoutCell_t* first = recordTile(0);
    LayoutCell_t* second = recordTile(1);
    for (LayoutCell_t* tile : {first, second}) {
        if (tile == nullptr) continue;
        AddTileFade(tile, 0, 20);
        const int kind = tile->group != nullptr ? tile->group->GetType() : 0;
        listA.AddObject(new EffectMultiply(static_cast<int>(tile->x), static_cast<int>(tile->y), kind));
    }
    AddScore(listB, value, second);
    AddScore(listB, value, first);
}

void BoardWidjet_t::OnSelectionChanged(LayoutCell_t* tile) {
    if (tile != nullptr) {
        PlaySound("SelectColl");
        if (hintTicks > 0) {
            listD.Clear();
            Layout_t* layout = CurrentLayout();
            std::vector<LayoutCell_t*> partners;
            layout->CollectSelectedPartners(partners);
            layout->comboCount = 0;
            for (LayoutCell_t* partner : partners) AddHintMarker(partner);
        }
    }
    firstHintUsed = false;
}

void BoardWidjet_t::OnNoMoreMoves() {
    ProfileManager_t::Instance()->EndGameAndSave();
    ShowFlyMessage("NoMoreMoves", BoardDialogId::kNoMoreMoves);
}

void BoardWidjet_t::OnInvalidClick() { PlaySound("invalid"); }

void BoardWidjet_t::OnLevelComplete() {
    if (levelCompleted) return;
    levelCompleted = true;
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    const Progress_t* record = profiles->GetCurrentProgress();
    profiles->AddTotalScore(record != nullptr ? record->gameScore : 0);
    profiles->EndGameAndSave();
    profiles->Save();
    ShowWords();
    DropToolRing();
    gameOutcome = profiles->CompleteCurrentGame();
    AddGo(mHost->GetResourceImage(IMAGE_LEVEL_COMPLETE_ID), kGoLevelComplete);
    PlaySound("LevelComplete");
}

void BoardWidjet_t::OnComboBonus(LayoutCell_t* /*tile*/) {
    AddGo(mHost->GetResourceImage(IMAGE_TIME_BONUS_ID), kGoCombo);
    ProfileManager_t::Instance()->AddGameScore(100);
}

void BoardWidjet_t::OnGroupRemoved(const std::vector<LayoutCell_t*>* tiles, int second) {
    // The layouts send 0 for the second argument: no tool tile takes part.
    (void)second;
    PlaySound("RemoveColl");
    const int n = tiles != nullptr ? static_cast<int>(tiles->size()) : 0;
    const int each = mHost->GetBonusSettings().bonusSimple * (n / 2);
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    profiles->AddGameScore(each * n);
    profiles->Save();
    if (tiles == nullptr) return;
    for (const LayoutCell_t* tile : *tiles) {
        AddTileFade(tile, 0, 20);
        AddScore(listB, each, tile);
    }
}

void BoardWidjet_t::OnGroupFacesChanged(const std::vector<LayoutCell_t*>* tiles) { OnChangeBonusUsed(tiles, nullptr); }

void BoardWidjet_t::OnLayerTilesRemoved(const std::vector<LayoutCell_t*>* others,
                                        const std::vector<LayoutCell_t*>* second) {
    if (second != nullptr) {
        for (const LayoutCell_t* tile : *second) AddTileFade(tile, 0, 20);
    }
    if (others != nullptr) {
        for (const LayoutCell_t* tile : *others) AddTileFade(tile, 5, 10);
    }
    listD.Clear();
}

}  // namespace Velm

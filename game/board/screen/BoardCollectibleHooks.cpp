// The play screen's reactions to the collectible hooks: a jewel clicked on the board, an item
// flight reaching the clothes progress value, and the value reaching its target. Nothing in
// this game makes jewels or items, so these stay unreached; they keep the profile's item
// counters to one meaning.

#include <memory>

#include "engine/particles/ParticleSystem.h"
#include "game/board/effects/EffectRemover.h"
#include "game/board/effects/ScoreEffect2.h"
#include "game/board/screen/BoardWidjet.h"
#include "game/shell/ProfileManager.h"

namespace Velm {

namespace {
// Points of a score jewel: stages give none of their own in this game.
constexpr int kJewelPoints = 0;
}  // namespace

void BoardWidjet_t::OnJewelFound(Jewel_t* jewel) {
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    const int kind = mHost->IsAdventureMode() ? jewel->kind : 0;
    ++collectibles.jewelCounter;
    if (kind == 0) {
        listB.AddObject(new ScoreEffect2({kJewelPoints, static_cast<float>(jewel->x), static_cast<float>(jewel->y)}));
        profiles->AddGameScore(kJewelPoints);
        profiles->Save();
        PlaySound("jewelfoundscore");
        return;
    }
    Progress_t* record = Progress();
    if (record == nullptr) return;
    ++record->jewelCount;
    ++record->jewelCountB;
    auto* flight = new EffectRemover(jewel->x, jewel->y, {{collectibles.value.x, collectibles.value.y}}, this);
    flight->mode = 1;
    flight->factor = collectibles.Share(record->jewelCount);
    listC.AddObject(flight);
    const int granted = collectibles.GrantItem(record->jewelCount);
    if (granted != -1) {
        // The piece took exactly its threshold of items.
        record->collectedItems.push_back(granted);
        record->jewelCount = 0;
        record->jewelCountB = 0;
    }
    profiles->Save();
    PlaySound("jewelfound");
}

void BoardWidjet_t::OnStuffValueReached(StuffValue_t* value) {
    if (value->current == value->reference) {
        value->step = 0.01f;
        value->SetTarget(0.0f, true);
        keepLevelOnShow = true;
        mHost->StopMusic();
        PlaySound("clothesready");
        mHost->SwitchScreen(ScreenSwitch::kBoardToClothes);
    } else if (value->current > 0.0f) {
        auto wings = std::make_unique<ParticleSystem_t>();
        wings->LoadFile("particles/girlwings.ini");
        wings->SetPosition(static_cast<float>(value->x), static_cast<float>(value->y));
        listB.AddObject(std::move(wings));
    }
}

}  // namespace Velm

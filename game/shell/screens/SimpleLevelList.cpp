#include "game/shell/screens/SimpleLevelList.h"

#include <algorithm>

#include "game/shell/Profile.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/TextFormat.h"
#include "resources/base/StringUtils.h"

namespace Velm {

int SimpleLevelList::PageCount(int recordCount) {
    if (recordCount <= 0) return 0;
    return (recordCount + kSlotsPerPage - 1) / kSlotsPerPage;
}

int SimpleLevelList::StepPage(int page, int delta, int pageCount) {
    if (pageCount <= 0) return 0;
    int next = page + delta;
    if (next < 0) next = pageCount - 1;
    if (next >= pageCount) next = 0;
    return next;
}

int SimpleLevelList::ChoosableTilesets(int tilesetCount) {
    return tilesetCount > 1 ? tilesetCount - 1 : std::max(tilesetCount, 0);
}

int SimpleLevelList::StepTileset(int current, int delta, int tilesetCount) {
    const int choosable = ChoosableTilesets(tilesetCount);
    if (choosable <= 0) return 0;
    if (current < 0 || current >= choosable) return delta > 0 ? 0 : choosable - 1;
    return StepPage(current, delta, choosable);
}

SimpleLevelList::Page SimpleLevelList::MakePage(int page, const StageCatalogue_t& stages,
                                                const std::vector<LevelRecord_t>& records) {
    Page slots;
    const int total = stages.GetTotalGameCount();
    for (int s = 0; s < kSlotsPerPage; ++s) {
        const int level = page * kSlotsPerPage + s;
        if (level < 0 || level >= total) continue;
        bool unlocked = false;
        for (const LevelRecord_t& record : records) unlocked = unlocked || record.level == level;
        slots[static_cast<size_t>(s)] = Slot{unlocked ? SlotState::Open : SlotState::Locked, level};
    }
    return slots;
}

int SimpleLevelList::LastFilledSlot(const Page& page) {
    int last = 0;
    for (int s = 0; s < kSlotsPerPage; ++s) {
        if (page[static_cast<size_t>(s)].state != SlotState::Hidden) last = s;
    }
    return last;
}

SimpleLevelList::ChosenLevel SimpleLevelList::Choose(int page, int slot, const StageCatalogue_t& stages,
                                                     const std::vector<LevelRecord_t>& records) {
    ChosenLevel chosen;
    const int position = page * kSlotsPerPage + slot - 1;
    const LevelRecord_t* record = nullptr;
    if (position >= 0 && position < static_cast<int>(records.size())) {
        record = &records[static_cast<size_t>(position)];
        chosen.level = record->level;
    } else {
        chosen.level = position;
    }
    // The record of the level itself holds its best results (the record at
    // the position names the level).
    const LevelRecord_t* results = nullptr;
    for (const LevelRecord_t& r : records) {
        if (record != nullptr && r.level == chosen.level) {
            results = &r;
            break;
        }
    }
    if (results != nullptr && results->bestScore != 0) {
        chosen.scoreText = BestScoreText(results->bestScore);
        chosen.timeText = BestTimeText(results->bestTime);
        chosen.showTime = true;
    } else {
        chosen.scoreText = TextTable_t::Instance()->Lookup("NotPlayed");
    }

    const StageLevel_t* level = stages.GetGameByFlatIndex(chosen.level);
    if (level == nullptr) {
        chosen.level = -1;
        return chosen;
    }
    chosen.levelName = TextTable_t::Instance()->Lookup(level->name);
    stages.FindStageAndGame(chosen.level, chosen.stage, chosen.game);
    chosen.levelIndexText = FormatTextOf("LevelIndex", {chosen.stage + 1, chosen.game + 1});
    return chosen;
}

std::string SimpleLevelList::BestScoreText(int bestScore) {
    return FormatTextOf("BestScore", {FormatThousands(bestScore)});
}

std::string SimpleLevelList::BestTimeText(int ticks) {
    return FormatTextOf("BestTime", {ticks / 6000, (ticks % 6000) / 100});
}

}  // namespace Velm

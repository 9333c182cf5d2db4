#pragma once

#include <array>
#include <string>
#include <vector>

struct LevelRecord_t;
class StageCatalogue_t;

namespace Velm {

// What the simple-mode level list shows, worked out from the simple-mode stage
// catalogue and the player's level records, without any widget: the slots of a
// page, the page count and page buttons, and the texts of the chosen slot.
//
// Levels are the catalogue's flat level indexes 0 .. total - 1. Page p shows
// the levels 6p .. 6p + 5 in its six slots; the records are the progress
// record's level records, one per unlocked level in unlocking order, and the
// page count follows them (records / 6, rounded up). The texts of slot k
// (1 .. 6) come from the record at position 6p + k - 1 of that list.
class SimpleLevelList {
public:
    static constexpr int kSlotsPerPage = 6;

    enum class SlotState {
        Hidden,  // past the catalogue's last level
        Locked,  // no level record: shown disabled, without a picture
        Open     // unlocked
    };
    struct Slot {
        SlotState state = SlotState::Hidden;
        int level = -1;  // flat level index; -1 for a hidden slot
    };
    using Page = std::array<Slot, kSlotsPerPage>;

    // The texts of a chosen slot (all from the text table).
    struct ChosenLevel {
        int level = -1;  // flat level index; -1 when the list has no such level
        int stage = 0;   // stage of that level in the catalogue and game within it
        int game = 0;
        std::string scoreText;       // "BestScore" with the score, or "NotPlayed"
        bool showTime = false;       // only for a level finished at least once
        std::string timeText;        // "BestTime" with minutes and seconds
        std::string levelName;       // the level's "Name" key looked up
        std::string levelIndexText;  // "LevelIndex" with stage + 1 and game + 1
    };

    static int PageCount(int recordCount);
    // Page 0 never goes back; the last page (and beyond) never goes on.
    static bool CanGoBack(int page) { return page > 0; }
    static bool CanGoOn(int page, int pageCount) { return page < pageCount - 1; }
    // page + delta, wrapping from below 0 to the last page and from past the
    // last page to 0; 0 when there are no pages.
    static int StepPage(int page, int delta, int pageCount);

    // The tile sets the player may choose from: every set but the catalogue's last, which
    // holds the logical pairs and serves only the levels of that game; a lone set is
    // choosable. 0 without tile sets.
    static int ChoosableTilesets(int tilesetCount);
    // The choosable tile set delta (+1 or -1) away from current, wrapping at both ends. From a
    // set that is not choosable, forward gives the first and back the last choosable set.
    // 0 without choosable sets.
    static int StepTileset(int current, int delta, int tilesetCount);

    static Page MakePage(int page, const StageCatalogue_t& stages, const std::vector<LevelRecord_t>& records);
    // The index of the last slot that shows a level (0 when none does).
    static int LastFilledSlot(const Page& page);

    // Slot k (1 .. 6) of page. Without a record at that position (no records
    // at all) the slot's own level is described, as not played yet.
    static ChosenLevel Choose(int page, int slot, const StageCatalogue_t& stages,
                              const std::vector<LevelRecord_t>& records);

    // "BestScore" filled with the score in thousands notation.
    static std::string BestScoreText(int bestScore);
    // "BestTime" filled with the minutes (t / 6000) and seconds ((t mod 6000) / 100)
    // of a time in update ticks.
    static std::string BestTimeText(int ticks);
};

}  // namespace Velm

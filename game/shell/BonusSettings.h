#pragma once

class IniFile_t;

namespace Velm {

// The points of the bonuses, from section "Bonuses" of "data/settings.txt"; the play screen
// reads them when it scores. A key missing from the file keeps its default; a key with an
// empty value gives 0.
struct BonusSettings {
    int timeBonus = 1000;      // "TimeBonus"
    int bonusSimple = 150;     // "BonusSimple"
    int bonusSeason = 400;     // "BonusSeason"
    int bonusFlower = 350;     // "BonusFlower"
    int bonusGold = 500;       // "BonusGold"
    int bonusMinigame = 2000;  // "BonusMinigame" (the idle mini-game feature)

    void Read(const IniFile_t& settings);
};

}  // namespace Velm

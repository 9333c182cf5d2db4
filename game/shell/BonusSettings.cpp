#include "game/shell/BonusSettings.h"

#include "engine/util/IniFile.h"

namespace Velm {

void BonusSettings::Read(const IniFile_t& settings) {
    const IniSection_t* section = settings.FindSection("Bonuses");
    if (section == nullptr) return;
    timeBonus = section->GetInt("TimeBonus", timeBonus);
    bonusSimple = section->GetInt("BonusSimple", bonusSimple);
    bonusSeason = section->GetInt("BonusSeason", bonusSeason);
    bonusFlower = section->GetInt("BonusFlower", bonusFlower);
    bonusGold = section->GetInt("BonusGold", bonusGold);
    bonusMinigame = section->GetInt("BonusMinigame", bonusMinigame);
}

}  // namespace Velm

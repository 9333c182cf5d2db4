#include "game/shell/screens/PlayerList.h"

#include <memory>

#include "game/shell/ProfileManager.h"

std::vector<std::string> PlayerList::Lines(const std::string& createLineText) const {
    std::vector<std::string> lines{createLineText};
    for (int i = 0; i < mManager.GetProfileCount(); ++i) {
        lines.push_back(mManager.GetProfile(i)->name);
    }
    return lines;
}

int PlayerList::CurrentLine() const {
    return mManager.GetCurrentProfile() != nullptr ? mManager.GetCurrentIndex() + 1 : -1;
}

bool PlayerList::IsProfileLine(int line) const { return line >= 1 && line <= mManager.GetProfileCount(); }

bool PlayerList::CanCreate() const { return mManager.GetProfileCount() < kMaxPlayers; }

PlayerList::AddResult PlayerList::Add(const std::string& name, float effectVolume, float musicVolume) {
    if (mManager.HasProfile(name)) {
        return AddResult::Duplicate;
    }
    if (!mManager.AddProfile(std::make_unique<Profile_t>(name, effectVolume, musicVolume))) {
        return AddResult::NotAllowed;
    }
    mManager.Save();
    return AddResult::Added;
}

int PlayerList::Delete(int line) {
    if (!IsProfileLine(line)) {
        return -1;
    }
    mManager.DeleteProfile(line - 1);
    mManager.Save();
    const int current = CurrentLine();
    if (current != -1) {
        return current;
    }
    return mManager.GetProfileCount() > 0 ? 1 : -1;
}

bool PlayerList::Select(int line) {
    if (!IsProfileLine(line)) {
        return false;
    }
    mManager.SetCurrentIndex(line - 1);
    mManager.LoadCurrentProfile();
    mManager.Save();
    return true;
}

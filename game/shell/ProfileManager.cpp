#include "game/shell/ProfileManager.h"

#include <algorithm>
#include <climits>

#include "game/shell/PlayerFile.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TilesetCatalogue.h"
#include "platform/Files.h"
#include "resources/base/Buffer.h"
#include "resources/base/StringUtils.h"

namespace {

ProfileManager_t* gProfileManager = nullptr;

// Bytes of one level record in a profile file: three int32 and a flag byte.
const int kLevelRecordBytes = 13;

int ClampScore(long long value) {
    if (value < 0) return 0;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

void WriteProgress(const Progress_t& p, Velm::Buffer& out) {
    out.WriteLong(p.stage);
    out.WriteLong(p.orderPos);
    out.WriteLong(p.gameScore);
    out.WriteBoolean(p.dontShowHelp);
    out.WriteBoolean(p.dontShowNoMoves);
    out.WriteLong(p.totalScore);
    out.WriteLong(p.tileset);
    out.WriteBoolean(p.stageStarted);
    out.WriteBoolean(p.gameInProgress);
    out.WriteLong(p.timeLeft);
    out.WriteBoolean(p.showBlocked);
    out.WriteLong(static_cast<int>(p.gameOrder.size()));
    for (int game : p.gameOrder) out.WriteLong(game);
    for (bool seen : p.tipSeen) out.WriteBoolean(seen);
    out.WriteLong(static_cast<int>(p.levelRecords.size()));
    for (const LevelRecord_t& record : p.levelRecords) {
        out.WriteLong(record.level);
        out.WriteLong(record.bestTime);
        out.WriteLong(record.bestScore);
        out.WriteBoolean(record.flag);
    }
}

void WriteProfile(const Profile_t& profile, Velm::Buffer& out) {
    out.WriteString(profile.name);
    out.WriteLong(ProfileManager_t::VolumeToPercent(profile.effectVolume));
    out.WriteLong(ProfileManager_t::VolumeToPercent(profile.musicVolume));
    WriteProgress(profile.progress[0], out);
    WriteProgress(profile.progress[1], out);
}

std::vector<uint8_t> ProfileImage(const Profile_t& profile) {
    Velm::Buffer buffer;
    WriteProfile(profile, buffer);
    return BufferBytes(buffer);
}

// The saved fields of a record, as the file holds them; the others stay.
void CopySavedFields(const Progress_t& from, Progress_t& to) {
    to.stage = from.stage;
    to.orderPos = from.orderPos;
    to.gameScore = from.gameScore;
    to.dontShowHelp = from.dontShowHelp;
    to.dontShowNoMoves = from.dontShowNoMoves;
    to.totalScore = from.totalScore;
    to.tileset = from.tileset;
    to.stageStarted = from.stageStarted;
    to.gameInProgress = from.gameInProgress;
    to.timeLeft = from.timeLeft;
    to.showBlocked = from.showBlocked;
    to.gameOrder = from.gameOrder;
    to.tipSeen = from.tipSeen;
    to.levelRecords = from.levelRecords;
}

// Reads the saved fields of one record into p; false when the data runs out
// or a count is larger than the data left (p is then partly filled).
bool ReadProgress(PlayerFileReader& in, Progress_t& p) {
    int count = 0;
    if (!in.ReadLong(p.stage) || !in.ReadLong(p.orderPos) || !in.ReadLong(p.gameScore) ||
        !in.ReadBoolean(p.dontShowHelp) || !in.ReadBoolean(p.dontShowNoMoves) || !in.ReadLong(p.totalScore) ||
        !in.ReadLong(p.tileset) || !in.ReadBoolean(p.stageStarted) || !in.ReadBoolean(p.gameInProgress) ||
        !in.ReadLong(p.timeLeft) || !in.ReadBoolean(p.showBlocked) || !in.ReadLong(count)) {
        return false;
    }
    if (count < 0 || count > in.RemainingBytes() / 4) return false;
    p.gameOrder.assign(static_cast<size_t>(count), 0);
    for (int& game : p.gameOrder) {
        if (!in.ReadLong(game)) return false;
    }
    for (bool& seen : p.tipSeen) {
        if (!in.ReadBoolean(seen)) return false;
    }
    if (!in.ReadLong(count)) return false;
    if (count < 0 || count > in.RemainingBytes() / kLevelRecordBytes) return false;
    p.levelRecords.assign(static_cast<size_t>(count), LevelRecord_t());
    for (LevelRecord_t& record : p.levelRecords) {
        if (!in.ReadLong(record.level) || !in.ReadLong(record.bestTime) || !in.ReadLong(record.bestScore) ||
            !in.ReadBoolean(record.flag)) {
            return false;
        }
    }
    return true;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return Velm::StringToLower(a) == Velm::StringToLower(b);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// 64-bit FNV-1a of the bytes, as 16 hex digits.
std::string NameHash(const std::string& name) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) text[static_cast<size_t>(i)] = kDigits[hash & 15];
    return text;
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && Velm::StringToLower(text.substr(text.size() - tail.size())) == tail;
}

// The name a player file holds at its start; false when it cannot be read.
bool ReadNameOfPlayerFile(const std::string& path, std::string& name) {
    Velm::Buffer buffer;
    if (!ReadPlayerFile(path, buffer)) return false;
    PlayerFileReader in(buffer);
    return in.ReadString(name);
}

}  // namespace

ProfileManager_t* ProfileManager_t::Instance() {
    if (gProfileManager == nullptr) gProfileManager = new ProfileManager_t();
    return gProfileManager;
}

void ProfileManager_t::Destroy() {
    delete gProfileManager;
    gProfileManager = nullptr;
}

ProfileManager_t::ProfileManager_t() = default;
ProfileManager_t::~ProfileManager_t() = default;

void ProfileManager_t::SetCatalogues(const StageCatalogue_t* simple, const StageCatalogue_t* adventure,
                                     const TilesetCatalogue_t* tilesets) {
    mStages[0] = simple;
    mStages[1] = adventure;
    mTilesets = tilesets;
}

// --- Files -------------------------------------------------------------------

int ProfileManager_t::VolumeToPercent(float volume) {
    // A volume read back is the percent x 0.01 as a float, which can lie a
    // hair below the percent (0.29 is 0.2899999...); the small allowance keeps
    // it at its percent instead of losing one at every save.
    const double percent = static_cast<double>(volume) * 100.0 + 1e-4;
    if (!(percent > -1000.0 && percent < 1000.0)) return 0;
    return static_cast<int>(percent);
}

float ProfileManager_t::VolumeFromPercent(int percent) { return static_cast<float>(percent * 0.01); }

bool ProfileManager_t::IsAllowedProfileName(const std::string& name) {
    if (name.empty() || name.size() > kMaxProfileNameBytes || name == "." || name == ".." || name[0] == '~')
        return false;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127 || c == '/' || c == '\\' || c == ':') return false;
    }
    const std::string lower = Velm::StringToLower(name);
    return lower != "users" && lower != "scoretable";
}

std::string ProfileManager_t::ProfileFileName(const std::string& name) {
    return (IsAllowedProfileName(name) ? name : "~" + NameHash(name)) + ".dat";
}

std::string ProfileManager_t::GetProfileFilePath(const std::string& name) const {
    return FolderOf(mListFile) + ProfileFileName(name);
}

bool ProfileManager_t::Load(const std::string& listPath) {
    mListFile = listPath;
    mProfiles.clear();
    mCurrent = -1;
    mDamagedListImage.clear();
    mListRepaired = false;
    const bool listed = plat::FileExists(listPath);

    Velm::Buffer buffer;
    bool damaged = listed && !ReadPlayerFile(listPath, buffer);
    if (listed && !damaged) {
        PlayerFileReader in(buffer);
        int count = 0;
        int current = -1;
        if (!in.ReadLong(count) || !in.ReadLong(current) || count < 0) damaged = true;
        // Each name takes at least its two length bytes, so the data bounds
        // the count before anything is allocated.
        if (count > in.RemainingBytes() / 2 || count > kMaxListedProfiles) damaged = true;
        const int readable = std::min({count, kMaxListedProfiles, in.RemainingBytes() / 2});
        for (int i = 0; i < readable; ++i) {
            std::string name;
            if (!in.ReadString(name)) {
                damaged = true;
                break;
            }
            mProfiles.push_back(std::make_unique<Profile_t>(name, 0.5f, 0.4f));
        }
        if (current >= -1 && current < GetProfileCount()) {
            mCurrent = current;
        } else {
            damaged = true;
        }
    }
    // A player file that the list does not name is a player the list lost
    // (a deleted player's file goes with it): a garbled name, or no list.
    const std::vector<std::string> unlisted = FindUnlistedPlayers();
    if (damaged || !unlisted.empty()) RepairList(listed, unlisted);
    if (!listed && mProfiles.empty()) return false;
    return LoadCurrentProfile();
}

std::vector<std::string> ProfileManager_t::FindUnlistedPlayers() const {
    std::vector<std::string> names;
    std::vector<plat::DirEntry> entries;
    const std::string folder = FolderOf(mListFile);
    if (mListFile.empty() || !plat::ListDirectory(folder.empty() ? std::string(".") : folder, entries)) return names;
    for (const plat::DirEntry& entry : entries) {
        if (entry.isDirectory || !EndsWithIgnoringCase(entry.name, ".dat")) continue;
        // Only a file whose name inside gives its own file name is a player's
        // (this leaves out the list and the score table).
        std::string name;
        if (!ReadNameOfPlayerFile(folder + entry.name, name) || ProfileFileName(name) != entry.name) continue;
        // Letter case is ignored, as file names are when files are looked up.
        const auto sameName = [&name](const std::string& other) { return SameNameIgnoringCase(other, name); };
        if (!HasProfile(name) && std::none_of(names.begin(), names.end(), sameName)) names.push_back(name);
    }
    return names;
}

void ProfileManager_t::RepairList(bool listed, const std::vector<std::string>& unlisted) {
    // What was read of a damaged list may hold garbled names: a name stays
    // when a player could have made it or when its file is there. The first
    // of several entries of one player stays.
    const std::string currentName = GetCurrentProfile() != nullptr ? GetCurrentProfile()->name : std::string();
    std::vector<std::unique_ptr<Profile_t>> read = std::move(mProfiles);
    mProfiles.clear();
    mCurrent = -1;
    for (auto& profile : read) {
        const bool kept = IsAllowedProfileName(profile->name) || plat::FileExists(GetProfileFilePath(profile->name));
        if (kept && !HasProfile(profile->name)) mProfiles.push_back(std::move(profile));
    }
    for (const std::string& name : unlisted) {
        if (!HasProfile(name)) mProfiles.push_back(std::make_unique<Profile_t>(name, 0.5f, 0.4f));
    }
    for (int i = 0; i < GetProfileCount() && !currentName.empty(); ++i) {
        if (mProfiles[static_cast<size_t>(i)]->name == currentName) mCurrent = i;
    }

    // The damaged file is kept aside and the list rewritten at once, so that
    // the player is told once. A list that cannot be moved aside stays as it
    // is until the list changes.
    mListRepaired = true;
    Velm::Buffer list;
    WriteList(list);
    if (!listed || plat::RenameFile(mListFile, mListFile + ".damaged")) {
        WritePlayerFile(mListFile, list, nullptr);
    } else {
        mDamagedListImage = BufferBytes(list);
    }
}

void ProfileManager_t::WriteList(Velm::Buffer& out) const {
    out.WriteLong(GetProfileCount());
    out.WriteLong(mCurrent);
    for (const auto& profile : mProfiles) out.WriteString(profile->name);
}

bool ProfileManager_t::TakeListRepairNotice() {
    const bool repaired = mListRepaired;
    mListRepaired = false;
    return repaired;
}

void ProfileManager_t::LoadProfileFile(Profile_t& profile) {
    profile.fileRead = true;
    profile.damagedFileImage.clear();
    const std::string path = GetProfileFilePath(profile.name);
    if (!plat::FileExists(path)) return;

    Velm::Buffer buffer;
    bool damaged = !ReadPlayerFile(path, buffer);
    PlayerFileReader in(buffer);
    std::string name;
    int effects = 0;
    int music = 0;
    if (!damaged && in.ReadString(name) && in.ReadLong(effects) && in.ReadLong(music)) {
        // The file is named after the player; a different name inside is
        // damage (following it would save under another player's file).
        if (SameNameIgnoringCase(name, profile.name)) {
            profile.name = name;
        } else {
            damaged = true;
        }
        if (effects >= 0 && effects <= 100)
            profile.effectVolume = ProfileManager_t::VolumeFromPercent(effects);
        else
            damaged = true;
        if (music >= 0 && music <= 100)
            profile.musicVolume = ProfileManager_t::VolumeFromPercent(music);
        else
            damaged = true;
        bool readable = true;
        for (int mode = 0; mode < 2; ++mode) {
            Progress_t read = profile.progress[mode];
            if (readable && ReadProgress(in, read)) {
                CopySavedFields(read, profile.progress[mode]);
                CheckProgress(profile.progress[mode], mode, damaged);
                continue;
            }
            // This record and any after it cannot be trusted: new values.
            readable = false;
            damaged = true;
            CopySavedFields(Progress_t(), profile.progress[mode]);
            BuildGameOrderFor(profile.progress[mode], mode);
        }
    } else {
        damaged = true;
        profile.effectVolume = 0.5f;
        profile.musicVolume = 0.4f;
        for (int mode = 0; mode < 2; ++mode) {
            CopySavedFields(Progress_t(), profile.progress[mode]);
            BuildGameOrderFor(profile.progress[mode], mode);
        }
    }
    if (damaged) profile.damagedFileImage = ProfileImage(profile);
}

void ProfileManager_t::CheckProgress(Progress_t& p, int mode, bool& repaired) const {
    if (p.gameScore < 0) {
        p.gameScore = 0;
        repaired = true;
    }
    if (p.totalScore < 0) {
        p.totalScore = 0;
        repaired = true;
    }
    const int tilesetCount = mTilesets != nullptr ? mTilesets->GetCount() : 0;
    if (p.tileset < 0 || (tilesetCount > 0 && p.tileset >= tilesetCount)) {
        p.tileset = 0;
        repaired = true;
    }

    const StageCatalogue_t* stages = StagesOfMode(mode);
    const int stageCount = stages != nullptr ? stages->GetStageCount() : 0;
    bool positionOk = p.stage >= 0 && (stageCount == 0 || p.stage < stageCount);
    if (positionOk) {
        const int games = GamesInStage(p, mode, p.stage);
        const int orderSize = static_cast<int>(p.gameOrder.size());
        if (stages != nullptr && stageCount > 0 && orderSize > games) positionOk = false;
        for (int game : p.gameOrder) {
            if (game < -1 || (stages != nullptr && stageCount > 0 && game >= games)) positionOk = false;
        }
        if (p.orderPos < 0 || (orderSize > 0 && p.orderPos >= orderSize)) positionOk = false;
    }
    if (!positionOk) {
        // Where the player stands cannot be trusted: back to the first game of
        // the stage (or of the first stage), with no game running.
        if (p.stage < 0 || (stageCount > 0 && p.stage >= stageCount)) p.stage = 0;
        BuildGameOrderFor(p, mode);
        p.orderPos = 0;
        p.gameInProgress = false;
        p.timeLeft = 0;
        repaired = true;
    }

    const int totalGames = stages != nullptr ? stages->GetTotalGameCount() : 0;
    const size_t before = p.levelRecords.size();
    p.levelRecords.erase(std::remove_if(p.levelRecords.begin(), p.levelRecords.end(),
                                        [&](const LevelRecord_t& r) {
                                            return r.level < 0 || (totalGames > 0 && r.level >= totalGames);
                                        }),
                         p.levelRecords.end());
    if (p.levelRecords.size() != before) repaired = true;
}

bool ProfileManager_t::LoadCurrentProfile() {
    Profile_t* profile = GetCurrentProfile();
    if (profile == nullptr) return false;
    const std::string path = GetProfileFilePath(profile->name);
    const bool exists = plat::FileExists(path);
    LoadProfileFile(*profile);
    return exists;
}

bool ProfileManager_t::Save() {
    mSaveError.clear();
    if (mListFile.empty()) return true;
    bool ok = true;

    Velm::Buffer list;
    WriteList(list);
    if (mDamagedListImage.empty() || BufferBytes(list) != mDamagedListImage) {
        std::string error;
        if (WritePlayerFile(mListFile, list, &error)) {
            mDamagedListImage.clear();
        } else {
            ok = false;
            mSaveError = mListFile + ": " + error;
        }
    }

    Profile_t* profile = GetCurrentProfile();
    if (profile == nullptr || !profile->fileRead) return ok;
    const std::string path = GetProfileFilePath(profile->name);
    Velm::Buffer buffer;
    WriteProfile(*profile, buffer);
    if (!profile->damagedFileImage.empty() && BufferBytes(buffer) == profile->damagedFileImage) return ok;
    std::string error;
    if (WritePlayerFile(path, buffer, &error)) {
        profile->damagedFileImage.clear();
    } else {
        ok = false;
        if (!mSaveError.empty()) mSaveError += "; ";
        mSaveError += path + ": " + error;
    }
    return ok;
}

// --- The list ------------------------------------------------------------------

Profile_t* ProfileManager_t::GetProfile(int index) const {
    if (index < 0 || index >= GetProfileCount()) return nullptr;
    return mProfiles[static_cast<size_t>(index)].get();
}

void ProfileManager_t::SetCurrentIndex(int index) {
    mCurrent = index;
    Profile_t* profile = GetCurrentProfile();
    if (profile != nullptr && !profile->fileRead) LoadProfileFile(*profile);
}

bool ProfileManager_t::AddProfile(std::unique_ptr<Profile_t> profile) {
    if (profile == nullptr || !IsAllowedProfileName(profile->name) || HasProfile(profile->name)) return false;
    // A file under this name belongs to no listed player (a leftover of a
    // deleted one); the new player must not inherit its progress.
    const std::string path = GetProfileFilePath(profile->name);
    if (!mListFile.empty() && plat::FileExists(path)) plat::RemoveFile(path);
    profile->fileRead = true;
    profile->damagedFileImage.clear();
    mProfiles.push_back(std::move(profile));
    mCurrent = GetProfileCount() - 1;
    return true;
}

void ProfileManager_t::DeleteProfile(int index) {
    Profile_t* profile = GetProfile(index);
    if (profile == nullptr) return;
    if (mEraseSettingsKey) mEraseSettingsKey(profile->name);
    // A list that names one player twice gives both entries one file: it
    // goes only with the last of them.
    bool shared = false;
    for (int i = 0; i < GetProfileCount(); ++i) {
        if (i != index && SameNameIgnoringCase(mProfiles[static_cast<size_t>(i)]->name, profile->name)) shared = true;
    }
    const std::string path = GetProfileFilePath(profile->name);
    if (!mListFile.empty() && !shared && plat::FileExists(path)) plat::RemoveFile(path);
    mProfiles.erase(mProfiles.begin() + index);
    if (mCurrent == index) {
        mCurrent = -1;
    } else if (mCurrent > index && mCurrent < GetProfileCount() + 1) {
        --mCurrent;
    }
}

bool ProfileManager_t::HasProfile(const std::string& name) const {
    for (const auto& profile : mProfiles) {
        if (SameNameIgnoringCase(profile->name, name)) return true;
    }
    return false;
}

Progress_t* ProfileManager_t::GetCurrentProgress() const {
    Profile_t* profile = GetCurrentProfile();
    return profile != nullptr ? &profile->progress[mMode] : nullptr;
}

// --- Game order -------------------------------------------------------------------

const StageCatalogue_t* ProfileManager_t::StagesOfMode(int mode) const { return mStages[mode != 0 ? 1 : 0]; }

int ProfileManager_t::GamesInStage(const Progress_t& record, int mode, int stage) const {
    const StageCatalogue_t* stages = StagesOfMode(mode);
    const Stage_t* s = stages != nullptr ? stages->GetStage(stage) : nullptr;
    return s != nullptr ? s->GetGameCount(record.gameList) : 0;
}

void ProfileManager_t::BuildGameOrderFor(Progress_t& record, int mode) const {
    const int games = GamesInStage(record, mode, record.stage);
    record.gameOrder.resize(static_cast<size_t>(games));
    for (int i = 0; i < games; ++i) record.gameOrder[static_cast<size_t>(i)] = i;
}

void ProfileManager_t::BuildGameOrder(Progress_t& record) const { BuildGameOrderFor(record, mMode); }

void ProfileManager_t::ResetCurrentProgress() {
    Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return;
    *record = Progress_t();
    BuildGameOrder(*record);
}

int ProfileManager_t::GetCurrentGame() const {
    const Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return 0;
    const int pos = record->orderPos;
    if (pos < 0 || pos >= static_cast<int>(record->gameOrder.size())) return pos;
    const int game = record->gameOrder[static_cast<size_t>(pos)];
    return game == -1 ? pos : game;
}

bool ProfileManager_t::IsLastGameOfStage() const {
    const Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return true;
    return std::count_if(record->gameOrder.begin(), record->gameOrder.end(), [](int g) { return g != -1; }) == 1;
}

void ProfileManager_t::PostponeCurrentGame() {
    Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return;
    const int pos = record->orderPos;
    if (pos < 0 || pos >= static_cast<int>(record->gameOrder.size())) return;
    const int game = record->gameOrder[static_cast<size_t>(pos)];
    record->gameOrder.erase(record->gameOrder.begin() + pos);
    record->gameOrder.push_back(game);
}

int ProfileManager_t::CompleteCurrentGame() {
    Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return 1;
    record->jewelCountB = 0;
    record->jewelCountC = 0;
    const int pos = record->orderPos;
    if (pos >= 0 && pos < static_cast<int>(record->gameOrder.size())) record->gameOrder[static_cast<size_t>(pos)] = -1;
    if (pos + 1 < GamesInStage(*record, mMode, record->stage)) {
        record->orderPos = pos + 1;
        return 1;
    }
    const StageCatalogue_t* stages = StagesOfMode(mMode);
    const int stageCount = stages != nullptr ? stages->GetStageCount() : 0;
    if (record->stage + 1 >= stageCount) return 2;
    AdvanceStage();
    return 0;
}

void ProfileManager_t::AdvanceStage() {
    Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return;
    record->stage += 1;
    BuildGameOrder(*record);
    record->orderPos = 0;
}

void ProfileManager_t::SetGameList(int list) {
    Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return;
    // No stage file fills lists 1 and 2; choosing an empty list would leave
    // the stages without games, so such a choice plays list 0.
    int chosen = 0;
    if (list == 1 || list == 2) {
        const StageCatalogue_t* stages = StagesOfMode(mMode);
        for (int i = 0; stages != nullptr && i < stages->GetStageCount(); ++i) {
            if (stages->GetStage(i)->GetGameCount(list) > 0) chosen = list;
        }
    }
    record->gameList = chosen;
}

void ProfileManager_t::MarkGameStarted() {
    Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return;
    record->stageStarted = true;
    record->gameInProgress = true;
}

void ProfileManager_t::ResetStageOrder() {
    Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return;
    record->stageStarted = false;
    record->gameInProgress = false;
    record->gameOrder.clear();
}

void ProfileManager_t::EndGameAndSave() {
    Progress_t* record = GetCurrentProgress();
    if (record != nullptr) record->gameInProgress = false;
    Save();
}

// --- Scores, mini-games, names, level records ------------------------------------------

void ProfileManager_t::AddGameScore(int points) {
    Progress_t* record = GetCurrentProgress();
    if (record != nullptr) record->gameScore = ClampScore(static_cast<long long>(record->gameScore) + points);
}

void ProfileManager_t::AddTotalScore(int points) {
    Progress_t* record = GetCurrentProgress();
    if (record != nullptr) record->totalScore = ClampScore(static_cast<long long>(record->totalScore) + points);
}

void ProfileManager_t::MarkMiniGameStarted(int id) {
    Progress_t* record = GetCurrentProgress();
    if (record != nullptr && id >= 0 && id < Progress_t::kMiniGameCount)
        record->miniGameState[static_cast<size_t>(id)] = 1;
}

void ProfileManager_t::MarkMiniGameCompleted(int id) {
    Progress_t* record = GetCurrentProgress();
    if (record != nullptr && id >= 0 && id < Progress_t::kMiniGameCount)
        record->miniGameState[static_cast<size_t>(id)] = 2;
}

bool ProfileManager_t::IsMiniGameStarted(int id) const {
    const Progress_t* record = GetCurrentProgress();
    if (record == nullptr || id < 0 || id >= Progress_t::kMiniGameCount) return false;
    return record->miniGameState[static_cast<size_t>(id)] == 1;
}

bool ProfileManager_t::IsMiniGameCompleted(int id) const {
    const Progress_t* record = GetCurrentProgress();
    if (record == nullptr || id < 0 || id >= Progress_t::kMiniGameCount) return true;
    return record->miniGameState[static_cast<size_t>(id)] == 2;
}

void ProfileManager_t::AddItemName(const std::string& name) {
    Progress_t* record = GetCurrentProgress();
    if (record != nullptr && !HasItemName(name)) record->itemNames.push_back(name);
}

bool ProfileManager_t::HasItemName(const std::string& name) const {
    const Progress_t* record = GetCurrentProgress();
    if (record == nullptr || name.empty()) return false;
    return std::find(record->itemNames.begin(), record->itemNames.end(), name) != record->itemNames.end();
}

void ProfileManager_t::AddLevelRecord(int level) {
    Progress_t* record = GetCurrentProgress();
    if (record == nullptr || level == -1) return;
    LevelRecord_t entry;
    entry.level = level;
    record->levelRecords.push_back(entry);
}

LevelRecord_t* ProfileManager_t::FindLevelRecord(int level) const {
    Progress_t* record = GetCurrentProgress();
    if (record == nullptr) return nullptr;
    for (LevelRecord_t& entry : record->levelRecords) {
        if (entry.level == level) return &entry;
    }
    return nullptr;
}

int ProfileManager_t::FirstMissingLevel(int count) const {
    const Progress_t* record = GetCurrentProgress();
    if (count <= 0) return -1;
    for (int level = 0; level < count; ++level) {
        const bool found =
                record != nullptr && std::any_of(record->levelRecords.begin(), record->levelRecords.end(),
                                                 [level](const LevelRecord_t& r) { return r.level == level; });
        if (!found) return level;
    }
    return -1;
}

#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/shell/Profile.h"

class StageCatalogue_t;
namespace Velm {
class Buffer;
}
class TilesetCatalogue_t;

// All player profiles of the machine's user, the current one, and their files:
// the list file "users.dat" (count, current index, names) and one file per
// profile, "<name>.dat", next to it in the application-data folder.
//
// users.dat: int32 count N, int32 current index (-1 none), N names (uint16
// length + bytes). A profile file: name, effect and music volume x 100 (int32,
// truncated), then progress[0] and progress[1], each: stage, orderPos,
// gameScore (int32), dontShowHelp, dontShowNoMoves (byte), totalScore, tileset
// (int32), stageStarted, gameInProgress (byte), timeLeft (int32), showBlocked
// (byte), gameOrder count K and K int32, 24 tipSeen bytes, level-record count
// L and L x (int32 level, bestTime, bestScore, byte flag). Little-endian;
// booleans are written as 1 and read as true for any byte but 0.
//
// Files are checked on load: a truncated or corrupt profile file gives
// defaults for whatever cannot be trusted (a count beyond the data, an index
// outside its list, a stage or game the catalogues do not have) and is not
// written back until the player changes something; a damaged list is rebuilt
// (see Load). Writes are atomic: a crash or a full
// disk leaves the previous file, and Save reports a failed write.
//
// Operations on the current record do nothing (or answer the neutral value
// given) when there is no current profile; a current index outside the list
// counts as none. Main thread only.
class ProfileManager_t {
public:
    // More names than this in users.dat make the list damaged; the first ones
    // are kept. (The profile dialogs allow six.)
    static constexpr int kMaxListedProfiles = 256;
    // Longer names cannot make a file name (the dialogs allow twelve letters).
    static constexpr size_t kMaxProfileNameBytes = 128;

    // The manager, created on first use; Destroy deletes it and every profile.
    static ProfileManager_t* Instance();
    static void Destroy();

    ProfileManager_t();
    ~ProfileManager_t();
    ProfileManager_t(const ProfileManager_t&) = delete;
    ProfileManager_t& operator=(const ProfileManager_t&) = delete;

    // The stage catalogues of the two ways of play (simple mode, adventure)
    // and the tile-set catalogue: the game order is built from the stages, and
    // loaded positions are checked against them. Null catalogues check only
    // the sign of what is loaded.
    void SetCatalogues(const StageCatalogue_t* simple, const StageCatalogue_t* adventure,
                       const TilesetCatalogue_t* tilesets);
    // Erases the settings key kept under the player's name, on delete.
    void SetSettingsKeyEraser(std::function<void(const std::string& name)> eraser) {
        mEraseSettingsKey = std::move(eraser);
    }

    // Reads the list file and then the current profile's file. False when
    // there is no list and no player file, or when the current profile has no
    // file.
    //
    // A damaged list (unreadable, truncated, counts or indexes beyond the
    // data), a missing one, or one that leaves out a player file found beside
    // it (the name inside a file must give its file name) is rebuilt from the
    // names that can be read and from those files, so that every player whose
    // file is on disk is listed. A damaged file is kept aside as
    // "users.dat.damaged" and the rebuilt list written at once;
    // TakeListRepairNotice then answers true once.
    bool Load(const std::string& listPath);
    // True once after a Load that rebuilt the list: the player is told.
    bool TakeListRepairNotice();
    // Writes users.dat and the current profile's file (the other profiles'
    // files are not rewritten). True when every needed write succeeded (also
    // when there is nothing to write: no list path yet); otherwise false with
    // the reason in GetSaveError.
    bool Save();
    const std::string& GetSaveError() const { return mSaveError; }
    // Reads the current profile's own file; false (profile unchanged) when
    // there is no current profile or no file.
    bool LoadCurrentProfile();

    int GetProfileCount() const { return static_cast<int>(mProfiles.size()); }
    Profile_t* GetProfile(int index) const;
    int GetCurrentIndex() const { return mCurrent; }
    Profile_t* GetCurrentProfile() const { return GetProfile(mCurrent); }
    // Makes the profile current and, when its file was not read yet, reads it,
    // so that no save can write the defaults over the player's progress.
    void SetCurrentIndex(int index);
    // Appends the profile and makes it current. Refused (false, the profile is
    // dropped) when the name is not allowed (IsAllowedProfileName) or another
    // profile has it in any letter case. A file left on disk under that name
    // belongs to nobody and is deleted, so the new player starts fresh.
    bool AddProfile(std::unique_ptr<Profile_t> profile);
    // Erases the player's settings key, deletes the profile's file and the
    // profile. The file stays while another entry of the list names the same
    // player (a list written elsewhere can name one twice). The current index keeps pointing at the same profile (none when
    // that was the deleted one).
    void DeleteProfile(int index);
    // Letter case ignored.
    bool HasProfile(const std::string& name) const;
    // A profile file is named after the player, so a name must make a plain
    // file name that is not one of the other player files: not empty, at most
    // kMaxProfileNameBytes, no separator, control character, ':' or "." / "..",
    // not starting with '~', and not "users" or "scoretable" in any letter case.
    static bool IsAllowedProfileName(const std::string& name);
    // The file name of a player's file: "<name>.dat" for an allowed name; a
    // listed name that is not allowed (from a list written elsewhere) is saved
    // as "~<16 hex digits of its hash>.dat", a name no allowed one makes.
    static std::string ProfileFileName(const std::string& name);
    // The path of the profile file of a name, beside the list file.
    std::string GetProfileFilePath(const std::string& name) const;

    // Volumes (0..1) as the profile file holds them: whole percent, truncated
    // toward zero (0.555 is 55), and back. Every percent survives the round
    // trip unchanged.
    static int VolumeToPercent(float volume);
    static float VolumeFromPercent(int percent);

    // 1 adventure, 0 simple mode: which progress record is current.
    int GetMode() const { return mMode; }
    void SetMode(int mode) { mMode = mode != 0 ? 1 : 0; }
    Progress_t* GetCurrentProgress() const;

    // gameOrder = 0 .. n - 1 for the n games of the record's stage (the stage
    // list of the current mode).
    void BuildGameOrder(Progress_t& record) const;
    // The current record back to its new values, with its game order built.
    void ResetCurrentProgress();
    // The game index at orderPos, or orderPos itself when that entry is -1 or
    // the order does not reach it; 0 without a current record.
    int GetCurrentGame() const;
    // Exactly one game of the order is not finished; true without a record.
    bool IsLastGameOfStage() const;
    // Moves the game at orderPos to the end of the order.
    void PostponeCurrentGame();
    // Marks the current game finished and moves on: 1 more games in this
    // stage (also without a record), 0 next stage (order rebuilt, orderPos 0),
    // 2 every stage done (stage and orderPos unchanged).
    int CompleteCurrentGame();
    // Next stage without a bound test (the caller checks), order rebuilt.
    void AdvanceStage();
    // The game list to play. Lists 1 and 2 are chosen only when a stage of the
    // current stage list has games in them; otherwise list 0 is played.
    void SetGameList(int list);
    void MarkGameStarted();
    void ResetStageOrder();
    void EndGameAndSave();

    // Both clamp the result to 0 .. INT_MAX.
    void AddGameScore(int points);
    void AddTotalScore(int points);

    // Mini-games by id 0..19; any other id (-1 is "no mini-game") counts as
    // not started and completed, and marking it does nothing.
    void MarkMiniGameStarted(int id);
    void MarkMiniGameCompleted(int id);
    bool IsMiniGameStarted(int id) const;
    bool IsMiniGameCompleted(int id) const;

    void AddItemName(const std::string& name);
    bool HasItemName(const std::string& name) const;

    // Appends a record (best time and score 0, flag clear); -1 is ignored.
    void AddLevelRecord(int level);
    LevelRecord_t* FindLevelRecord(int level) const;
    // The smallest level below count without a record; -1 when count <= 0 or
    // every level has one.
    int FirstMissingLevel(int count) const;

private:
    const StageCatalogue_t* StagesOfMode(int mode) const;
    int GamesInStage(const Progress_t& record, int mode, int stage) const;
    void BuildGameOrderFor(Progress_t& record, int mode) const;
    void LoadProfileFile(Profile_t& profile);
    std::vector<std::string> FindUnlistedPlayers() const;
    void RepairList(bool listed, const std::vector<std::string>& unlisted);
    void WriteList(Velm::Buffer& out) const;
    void CheckProgress(Progress_t& record, int mode, bool& repaired) const;

    std::string mListFile;
    std::vector<std::unique_ptr<Profile_t>> mProfiles;
    int mCurrent = -1;
    int mMode = 0;
    // When users.dat was damaged and could not be moved aside: what the
    // repaired list serialises to. The list file is not rewritten while the
    // list still serialises to it.
    std::vector<uint8_t> mDamagedListImage;
    bool mListRepaired = false;
    std::string mSaveError;

    const StageCatalogue_t* mStages[2] = {nullptr, nullptr};
    const TilesetCatalogue_t* mTilesets = nullptr;
    std::function<void(const std::string&)> mEraseSettingsKey;
};

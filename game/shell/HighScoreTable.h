#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One line of the score table. Only name and score are shown; stage and
// orderPos tell where the player stood when the score was made.
struct HighScoreEntry_t {
    int stage = 0;
    int score = 0;
    int orderPos = 0;
    std::string name;  // the player's profile name
};

// The top-ten score table of the machine's user, in descending score order,
// kept in "scoretable.dat" in the application-data folder: ten records with
// no header, each int32 score, int32 stage, int32 orderPos and the name as a
// uint16 length and its bytes (little-endian).
//
// Loaded once after the logos, changed by Insert when a game ends, saved when
// the application ends. Writes are atomic: a crash or a full disk leaves the
// previous file, and Save reports a failed write. Main thread only.
class HighScoreTable_t {
public:
    static constexpr int kEntryCount = 10;

    // The table, created empty on first use; Destroy deletes it.
    static HighScoreTable_t* Instance();
    static void Destroy();

    // Without the file: the default entries. Otherwise ten records are read;
    // records beyond the end of a short or damaged file are score 0 with an
    // empty name. Always true. A damaged file is not written back by Save
    // until the table changes.
    bool Load(const std::string& path);
    // Writes all ten entries to the loaded path; nothing (true) before Load.
    // False when the write failed, with the reason in GetSaveError.
    bool Save();
    const std::string& GetSaveError() const { return mSaveError; }

    // Inserts at the first position whose score is below the given one and
    // drops the last entry; -1 (table unchanged) when the score does not enter.
    int Insert(const std::string& name, int score, int stage, int orderPos);
    // Null outside 0 .. count - 1.
    HighScoreEntry_t* GetEntry(int index) const;
    int GetCount() const { return static_cast<int>(mEntries.size()); }
    // The first position whose score is strictly below score; false when none.
    bool FindPosition(int score, int& position) const;
    // Ten entries named by the text table's "User0" ... "User9", scoring 10000
    // down to 1000.
    void SetDefaults();

private:
    std::vector<std::unique_ptr<HighScoreEntry_t>> mEntries;
    std::string mFileName;
    std::string mSaveError;
    // When the file was damaged: what the table serialised to right after
    // loading; the file is left alone while the table still serialises to it.
    std::vector<uint8_t> mDamagedFileImage;
};

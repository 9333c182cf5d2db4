#include "game/shell/HighScoreTable.h"

#include "game/shell/PlayerFile.h"
#include "game/shell/TextTable.h"
#include "platform/Files.h"
#include "resources/base/Buffer.h"

namespace {

HighScoreTable_t* gHighScoreTable = nullptr;

}  // namespace

HighScoreTable_t* HighScoreTable_t::Instance() {
    if (gHighScoreTable == nullptr) gHighScoreTable = new HighScoreTable_t();
    return gHighScoreTable;
}

void HighScoreTable_t::Destroy() {
    delete gHighScoreTable;
    gHighScoreTable = nullptr;
}

void HighScoreTable_t::SetDefaults() {
    mEntries.clear();
    for (int i = 0; i < kEntryCount; ++i) {
        auto entry = std::make_unique<HighScoreEntry_t>();
        entry->name = TextTable_t::Instance()->Lookup("User" + std::to_string(i));
        entry->score = 10000 - 1000 * i;
        mEntries.push_back(std::move(entry));
    }
}

bool HighScoreTable_t::Load(const std::string& path) {
    mFileName = path;
    mDamagedFileImage.clear();
    if (!plat::FileExists(path)) {
        SetDefaults();
        return true;
    }
    Velm::Buffer buffer;
    const bool readable = ReadPlayerFile(path, buffer);
    mEntries.clear();
    PlayerFileReader in(buffer);
    bool negative = false;
    for (int i = 0; i < kEntryCount; ++i) {
        HighScoreEntry_t read;
        auto entry = std::make_unique<HighScoreEntry_t>();
        if (in.ReadLong(read.score) && in.ReadLong(read.stage) && in.ReadLong(read.orderPos) &&
            in.ReadString(read.name)) {
            *entry = read;
        }
        // A game's score never goes below 0, so a negative one is damage: it is shown and kept
        // as 0, and stays below every other entry.
        if (entry->score < 0) {
            entry->score = 0;
            negative = true;
        }
        mEntries.push_back(std::move(entry));
    }
    if (!readable) SetDefaults();
    if (!readable || in.Failed() || negative) {
        Velm::Buffer image;
        for (const auto& entry : mEntries) {
            image.WriteLong(entry->score);
            image.WriteLong(entry->stage);
            image.WriteLong(entry->orderPos);
            image.WriteString(entry->name);
        }
        mDamagedFileImage = BufferBytes(image);
    }
    return true;
}

bool HighScoreTable_t::Save() {
    mSaveError.clear();
    if (mFileName.empty()) return true;
    Velm::Buffer buffer;
    for (const auto& entry : mEntries) {
        buffer.WriteLong(entry->score);
        buffer.WriteLong(entry->stage);
        buffer.WriteLong(entry->orderPos);
        buffer.WriteString(entry->name);
    }
    if (!mDamagedFileImage.empty() && BufferBytes(buffer) == mDamagedFileImage) return true;
    std::string error;
    if (!WritePlayerFile(mFileName, buffer, &error)) {
        mSaveError = mFileName + ": " + error;
        return false;
    }
    mDamagedFileImage.clear();
    return true;
}

bool HighScoreTable_t::FindPosition(int score, int& position) const {
    for (int i = 0; i < GetCount() && i < kEntryCount; ++i) {
        if (mEntries[static_cast<size_t>(i)]->score < score) {
            position = i;
            return true;
        }
    }
    return false;
}

int HighScoreTable_t::Insert(const std::string& name, int score, int stage, int orderPos) {
    int position = -1;
    if (!FindPosition(score, position)) return -1;
    auto entry = std::make_unique<HighScoreEntry_t>();
    entry->name = name;
    entry->score = score;
    entry->stage = stage;
    entry->orderPos = orderPos;
    mEntries.insert(mEntries.begin() + position, std::move(entry));
    if (GetCount() > kEntryCount) mEntries.pop_back();
    return position;
}

HighScoreEntry_t* HighScoreTable_t::GetEntry(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return mEntries[static_cast<size_t>(index)].get();
}

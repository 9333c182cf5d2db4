#pragma once

// Sound descriptions: small text files, one per named sound, that say how the sound is
// played (wave file, streamed or static, looping, 3-D, volume group, 3-D parameters).
// SoundDescrList_t reads every file of the description storage once when the sound
// system starts and finds descriptions by name without regard to letter case.
//
// A description file holds "Key = Value" lines (tabs count as blanks, ';' starts a
// comment line, keys ignore letter case, unknown keys are ignored). Flag keys ("IsLoop",
// "IsStreamed", ...) can only set their flag: a later zero leaves it set. A description
// without a valid "Group" line is refused.
//
// A description also caches the bytes of its wave file once read (a WAV file as it is,
// an Ogg file of a static sound decoded into a raw PCM block), so that static sounds are
// not read again. Descriptions are used on the main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/sound/SoundTypes.h"
#include "engine/storage/FileDescr.h"

class Stg_t;

namespace Sound {

// Volume groups of descriptions; kGroupNone marks a description without a valid group.
enum : int { kGroupDialog = 0, kGroupEffect = 1, kGroupWorld = 2, kGroupMusic = 3, kGroupInterf = 4, kGroupNone = 6 };

class SoundDescr_t {
public:
    SoundDescr_t() = default;
    virtual ~SoundDescr_t() = default;
    SoundDescr_t(const SoundDescr_t&) = delete;
    SoundDescr_t& operator=(const SoundDescr_t&) = delete;

    // Reads one description file (the names and the cached data are dropped first). With
    // "LoadOnStart" the wave is preloaded now. True when the description has a group.
    bool Parse(FileDescr_t* file);
    // The same from text already in memory; `fileName` becomes the description's name.
    bool ParseText(const char* text, int length, const std::string& fileName);

    // Replaces the wave name (null or "" removes it) and drops the cached data, unless
    // the name is the present one in another letter case. The wave kind stays.
    void SetWaveName(const char* name);
    void FreeWaveData();
    // The whole file becomes the cached data (errStg_e on a failed read).
    void ReadWaveData(FileDescr_t* file);
    void SetWaveKind(int kind) { mWaveKind = kind; }
    // Fills the cached data when it is empty: wave name + ".ogg", else + ".wav", from the
    // sounds storage (the dialog storage for group 0); nothing when the storage is not
    // set or neither file exists. An Ogg file of a static description is decoded into a
    // raw PCM block; one that cannot be decoded leaves no data.
    void PreloadWave();

    const std::string& GetFileName() const { return mFileName; }
    const std::string& GetWaveName() const { return mWaveName; }
    bool HasWaveName() const { return !mWaveName.empty(); }
    DS3DBUFFER& Params3D() { return m3D; }
    const DS3DBUFFER& Params3D() const { return m3D; }
    uint32_t GetFlags() const { return mFlags; }
    void SetFlags(uint32_t flags) { mFlags = flags; }
    int32_t GetVolume() const { return mVolume; }
    int32_t GetGroupAttenuation() const { return mGroupAttenuation; }
    void SetGroupAttenuation(int32_t attenuation) { mGroupAttenuation = attenuation; }
    int GetGroup() const { return mGroup; }
    int GetMinTime() const { return mMinTime; }
    int GetMaxTime() const { return mMaxTime; }
    const std::vector<uint8_t>& GetWaveData() const { return mWaveData; }
    bool HasWaveData() const { return !mWaveData.empty(); }
    int GetWaveKind() const { return mWaveKind; }
    bool IsRaw() const { return mRaw; }

private:
    void ParseLine(char* line);

    std::string mFileName;
    std::string mWaveName;  // without extension; "" when none
    DS3DBUFFER m3D;
    uint32_t mFlags = 0;
    int32_t mVolume = 0;            // hundredths of a decibel, 0 = full volume
    int32_t mGroupAttenuation = 0;  // recomputed from the group's volume before each play
    int mGroup = kGroupNone;
    int mMinTime = 0;  // read and kept; nothing uses them
    int mMaxTime = 0;
    std::vector<uint8_t> mWaveData;
    int mWaveKind = kWaveUnknown;
    bool mRaw = false;  // the data is a raw PCM block (18-byte format, u32 size, PCM)
};

// The group number of a "Group" value: "Dialog" 0, "Effect" 1, "World" 2, "Music" 3,
// "Interf" 4 (blanks trimmed, any letter case); anything else kGroupNone.
int GroupFromName(const char* name);

class SoundDescrList_t {
public:
    SoundDescrList_t() = default;
    virtual ~SoundDescrList_t() = default;
    SoundDescrList_t(const SoundDescrList_t&) = delete;
    SoundDescrList_t& operator=(const SoundDescrList_t&) = delete;

    // Reads every file of `storage` under its listed (lower-case) name; refused ones are
    // dropped. Storage errors are not caught. A null storage reads nothing.
    void Load(Stg_t* storage);
    // Inserts under the name; an existing name keeps its earlier description.
    void Add(const std::string& name, std::unique_ptr<SoundDescr_t> descr);
    SoundDescr_t* Find(const std::string& name) const;
    size_t Size() const { return mDescrs.size(); }

private:
    struct NoCaseLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, std::unique_ptr<SoundDescr_t>, NoCaseLess> mDescrs;
};

}  // namespace Sound

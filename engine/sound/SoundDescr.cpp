#include "engine/sound/SoundDescr.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "engine/sound/SoundApi.h"
#include "engine/sound/SoundError.h"
#include "engine/sound/WaveOggFile.h"
#include "engine/storage/Stg.h"
#include "engine/util/ComString.h"
#include "engine/util/StrParser.h"

namespace Sound {
namespace {

bool EqualNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    }
    return *a == *b;
}

int CompareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// "x, y, z": the components present in order, empty fields between commas skipped;
// reading stops at the first missing one, leaving the later ones as they were.
void ReadVector(const char* value, Math::Vector_t& v) {
    float* parts[3] = {&v.x, &v.y, &v.z};
    size_t next = 0;
    const char* p = value;
    while (next < 3) {
        while (*p == ',') ++p;
        if (!*p) break;
        const char* end = std::strchr(p, ',');
        const std::string field = end ? std::string(p, size_t(end - p)) : std::string(p);
        *parts[next++] = float(std::atof(field.c_str()));
        if (!end) break;
        p = end;
    }
}

}  // namespace

int GroupFromName(const char* name) {
    if (!name) return kGroupNone;
    std::string text(name);
    char* trimmed = com_string::TrimBlanks(&text[0]);
    static const char* const kNames[] = {"Dialog", "Effect", "World", "Music", "Interf"};
    for (int i = 0; i < 5; ++i) {
        if (EqualNoCase(trimmed, kNames[i])) return i;
    }
    return kGroupNone;
}

bool SoundDescr_t::Parse(FileDescr_t* file) {
    mFileName.clear();
    mWaveName.clear();
    FreeWaveData();
    const int size = StgGetFileSize(file);
    std::vector<char> text(size_t(size > 0 ? size : 0));
    unsigned read = 0;
    if (size > 0) StgReadFile(file, text.data(), size, &read);
    return ParseText(text.data(), int(read), file->name);
}

bool SoundDescr_t::ParseText(const char* text, int length, const std::string& fileName) {
    mFileName.clear();
    mWaveName.clear();
    FreeWaveData();
    com_string::StrParser_t parser(text, length);
    while (char* line = parser.NextLine()) ParseLine(line);
    mFileName = fileName;
    if (mFlags & kDescrLoadOnStart) PreloadWave();
    return mGroup != kGroupNone;
}

void SoundDescr_t::ParseLine(char* line) {
    char* equals = std::strchr(line, '=');
    if (!equals) return;
    *equals = '\0';
    const char* key = com_string::TrimBlanks(line);
    while (*key == ' ') ++key;
    char* value = equals + 1;
    while (*value == ' ') ++value;
    value = com_string::TrimBlanks(value);

    struct FlagKey {
        const char* key;
        uint32_t flag;
    };
    static const FlagKey kFlags[] = {
            {"Is3D", kDescr3D},
            {"IsStreamed", kDescrStreamed},
            {"IsLoop", kDescrLoop},
            {"PlayOnStart", kDescrPlayOnStart},
            {"PlayIfPlay", kDescrReleaseWaveAfterPlay},
            {"LoadOnStart", kDescrLoadOnStart},
            {"DelAfterPlay", kDescrDeleteAfterPlay},
            {"MuteAfterMaxDistance", kDescrMuteAfterMaxDistance},
    };
    for (const FlagKey& f : kFlags) {
        if (EqualNoCase(key, f.key)) {
            if (std::atoi(value) != 0) mFlags |= f.flag;  // a zero never clears
            return;
        }
    }
    if (EqualNoCase(key, "Position")) {
        ReadVector(value, m3D.position);
    } else if (EqualNoCase(key, "ConeOrientation")) {
        ReadVector(value, m3D.coneOrientation);
    } else if (EqualNoCase(key, "InsideConeAngle")) {
        m3D.insideConeAngle = uint32_t(std::atol(value));
    } else if (EqualNoCase(key, "OutsideConeAngle")) {
        m3D.outsideConeAngle = uint32_t(std::atol(value));
    } else if (EqualNoCase(key, "ConeOutsideVolume")) {
        m3D.coneOutsideVolume = int32_t(std::atol(value));
    } else if (EqualNoCase(key, "MinDistance")) {
        m3D.minDistance = float(std::atof(value));
    } else if (EqualNoCase(key, "MaxDistance")) {
        m3D.maxDistance = float(std::atof(value));
    } else if (EqualNoCase(key, "Volume")) {
        mVolume = int32_t(std::atol(value));
    } else if (EqualNoCase(key, "WaveName")) {
        if (*value) mWaveName = value;
    } else if (EqualNoCase(key, "Mode")) {
        m3D.mode = uint32_t(std::atol(value));
    } else if (EqualNoCase(key, "Group")) {
        mGroup = GroupFromName(value);
    } else if (EqualNoCase(key, "MinTime")) {
        mMinTime = std::atoi(value);
    } else if (EqualNoCase(key, "MaxTime")) {
        mMaxTime = std::atoi(value);
    }
}

void SoundDescr_t::SetWaveName(const char* name) {
    if (name && *name && EqualNoCase(name, mWaveName.c_str())) return;
    if ((!name || !*name) && mWaveName.empty()) return;
    mWaveName = name ? name : "";
    FreeWaveData();
}

void SoundDescr_t::FreeWaveData() {
    mWaveData.clear();
    mWaveData.shrink_to_fit();
    mRaw = false;
}

void SoundDescr_t::ReadWaveData(FileDescr_t* file) {
    FreeWaveData();
    const int size = StgGetFileSize(file);
    if (size <= 0) return;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    unsigned read = 0;
    StgReadFile(file, bytes.data(), size, &read);
    bytes.resize(read);
    mWaveData = std::move(bytes);
}

void SoundDescr_t::PreloadWave() {
    if (HasWaveData() || mWaveName.empty()) return;
    Stg_t* storage = mGroup == kGroupDialog ? GetDialogStorage() : GetSoundsStorage();
    if (!storage) return;  // never read through a storage nobody set
    int kind;
    std::string name;
    if (storage->IsFilePresent(mWaveName + ".ogg")) {
        kind = kWaveOgg;
        name = mWaveName + ".ogg";
    } else if (storage->IsFilePresent(mWaveName + ".wav")) {
        kind = kWaveWav;
        name = mWaveName + ".wav";
    } else {
        return;
    }
    FileDescr_t* file = storage->OpenFile(name, false);
    mWaveKind = kind;
    try {
        ReadWaveData(file);
    } catch (...) {
        storage->CloseFile(file);
        throw;
    }
    storage->CloseFile(file);

    if (kind != kWaveOgg || (mFlags & kDescrStreamed) || mWaveData.empty()) return;
    // A static Ogg sound is decoded once, here, into a raw block: the 18-byte format, the
    // u32 count of PCM bytes, the PCM bytes.
    try {
        std::vector<uint8_t> block;
        {
            WaveOggFile_t ogg;
            ogg.OpenMemory(mWaveData.data(), unsigned(mWaveData.size()));
            const unsigned total = ogg.GetDataSize();
            block.resize(22 + size_t(total));
            unsigned got = 0;
            ogg.Read(block.data() + 22, total, &got);
            block.resize(22 + size_t(got));
            EncodeWaveFormat(ogg.GetFormat(), block.data());
            for (int i = 0; i < 4; ++i) block[18 + i] = uint8_t((got >> (8 * i)) & 0xFF);
        }
        mWaveData = std::move(block);
        mRaw = true;
    } catch (const err_e&) {
        FreeWaveData();  // not a playable Ogg file: the description plays nothing
    }
}

bool SoundDescrList_t::NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return CompareNoCase(a, b) < 0;
}

void SoundDescrList_t::Load(Stg_t* storage) {
    if (!storage) return;
    std::vector<std::string> names;
    storage->List("*.*", true, false, names);
    for (const std::string& name : names) {
        FileDescr_t* file = storage->OpenFile(name, false);
        auto descr = std::make_unique<SoundDescr_t>();
        bool ok;
        try {
            ok = descr->Parse(file);
        } catch (...) {
            storage->CloseFile(file);
            throw;
        }
        storage->CloseFile(file);
        if (ok) Add(name, std::move(descr));
    }
}

void SoundDescrList_t::Add(const std::string& name, std::unique_ptr<SoundDescr_t> descr) {
    mDescrs.emplace(name, std::move(descr));  // an existing name keeps its description
}

SoundDescr_t* SoundDescrList_t::Find(const std::string& name) const {
    auto it = mDescrs.find(name);
    return it != mDescrs.end() ? it->second.get() : nullptr;
}

}  // namespace Sound

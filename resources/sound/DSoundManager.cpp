#include "resources/sound/DSoundManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/Files.h"
#include "resources/base/Paths.h"
#include "resources/pack/PakFile.h"
#include "resources/sound/SoundDecoder.h"
#include "resources/sound/WavBytes.h"

namespace Velm {
namespace {

// Capabilities of every sound's voice: software-mixed, frequency, pan and volume control.
constexpr uint32_t kSoundFlags =
        plat::audio::kLocSoftware | plat::audio::kCtrlFrequency | plat::audio::kCtrlPan | plat::audio::kCtrlVolume;
constexpr uint64_t kSweepIntervalMs = 1000;
// Seconds between 1601-01-01 and 1970-01-01, in FILETIME units (100 ns).
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

bool ReadBytes(PakFileHandle* f, void* out, int count) { return PakFRead(out, 1, count, f) == count; }

bool ReadTag(PakFileHandle* f, char tag[4]) { return ReadBytes(f, tag, 4); }

bool ReadLe32(PakFileHandle* f, uint32_t& v) {
    uint8_t b[4];
    if (!ReadBytes(f, b, 4)) return false;
    v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool ReadLe16(PakFileHandle* f, uint16_t& v) {
    uint8_t b[2];
    if (!ReadBytes(f, b, 2)) return false;
    v = uint16_t(b[0] | b[1] << 8);
    return true;
}

bool ReadBe32(PakFileHandle* f, uint32_t& v) {
    uint8_t b[4];
    if (!ReadBytes(f, b, 4)) return false;
    v = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
    return true;
}

using wav::Put16;
using wav::Put32;
using wav::PutTag;

// One 8-bit mu-law byte as a 16-bit sample.
int16_t MuLawToLinear(uint8_t b) {
    const int sign = b >= 128 ? 1 : -1;
    const int h = b | 0x80;
    int m;
    if (h >= 240) {
        m = (255 - h) * 2;
    } else if (h >= 224) {
        m = (247 - h) * 4;
    } else if (h >= 208) {
        m = (235 - h) * 8;
    } else if (h >= 192) {
        m = (221 - h) * 16;
    } else if (h >= 176) {
        m = (206 - h) * 32;
    } else if (h >= 160) {
        m = 12192 - 64 * h;
    } else if (h >= 144) {
        m = 22368 - 128 * h;
    } else if (h >= 129) {
        m = 40672 - 256 * h;
    } else {
        m = 255;
    }
    return int16_t(sign * m * 4);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// DSoundInstance

DSoundInstance::DSoundInstance(DSoundManager* manager, const plat::audio::Voice* source) : mManager(manager) {
    if (source && manager->Mixer()) {
        mBuffer = manager->Mixer()->Duplicate(*source);
        // A duplicate shares the samples and cannot fail for want of memory for them; a
        // refusal leaves a silent instance.
        if (!mBuffer) plat::DebugOutput("sound: a sound could not be duplicated; the instance is silent\n");
    }
    if (mBuffer) mBaseFrequency = mBuffer->GetFrequency();
    ApplyVolume();
}

DSoundInstance::~DSoundInstance() = default;

void DSoundInstance::ApplyVolume() {
    if (!mBuffer) return;
    const int32_t a = DSoundManager::AttenuationFromVolume(mManager->mEffectsVolume * mVolume * mBaseVolume) +
                      mManager->MasterAttenuation();
    mBuffer->SetVolume(std::max(a, plat::audio::kVolumeSilent));
}

void DSoundInstance::Release() {
    Stop();
    mReleased = true;
}

void DSoundInstance::SetBaseVolume(double baseVolume) {
    mBaseVolume = baseVolume;
    ApplyVolume();
}

void DSoundInstance::SetVolume(double volume) {
    mVolume = volume;
    ApplyVolume();
}

void DSoundInstance::SetBasePan(int basePan) {
    mBasePan = basePan;
    if (mBuffer) mBuffer->SetPan(mBasePan + mPan);
}

void DSoundInstance::SetPan(int pan) {
    mPan = pan;
    if (mBuffer) mBuffer->SetPan(mBasePan + mPan);
}

void DSoundInstance::AdjustPitch(double semitones) {
    if (!mBuffer) return;
    double hz = mBaseFrequency * std::pow(1.0594630943592953, semitones);
    hz = std::min(std::max(hz, 100.0), 100000.0);
    mBuffer->SetFrequency(uint32_t(hz));
}

bool DSoundInstance::Play(bool looping, bool autoRelease) {
    Stop();
    mHasPlayed = true;
    mAutoRelease = autoRelease;
    if (!mBuffer) return false;
    return mBuffer->Play(looping);
}

void DSoundInstance::Halt() {
    if (!mBuffer) return;
    mBuffer->Stop();
    mBuffer->SetCurrentPosition(0);
}

void DSoundInstance::Stop() {
    Halt();
    mAutoRelease = false;
}

bool DSoundInstance::IsPlaying() {
    if (!mHasPlayed) return false;
    return mBuffer && mBuffer->IsPlaying();
}

bool DSoundInstance::IsReleased() {
    if (!mReleased && mAutoRelease && mHasPlayed && !IsPlaying()) Release();
    return mReleased;
}

// ---------------------------------------------------------------------------------------
// DSoundManager

DSoundManager::DSoundManager(void* window, bool useDecoder) : mUseDecoder(useDecoder) {
    std::fill(std::begin(mBaseVolumes), std::end(mBaseVolumes), 1.0);
    if (!window) return;  // sound switched off
    mLibrary = MusicLibrary::Acquire();
    mMixer = mLibrary->GetSharedMixer();  // null without a sound card: silent
}

DSoundManager::DSoundManager(std::shared_ptr<plat::audio::Mixer> mixer, bool useDecoder)
        : mMixer(std::move(mixer)), mUseDecoder(useDecoder) {
    std::fill(std::begin(mBaseVolumes), std::end(mBaseVolumes), 1.0);
}

DSoundManager::~DSoundManager() {
    ReleaseChannels();
    ReleaseSounds();
}

int32_t DSoundManager::AttenuationFromVolume(double v) {
    if (!(v > 0.0)) return plat::audio::kVolumeSilent;
    const int32_t a = int32_t(std::trunc((std::log10(9.0 * v + 1.0) - 1.0) * 2333.0));
    return a < -2000 ? plat::audio::kVolumeSilent : a;
}

int32_t DSoundManager::MasterAttenuation() const {
    if (!(mMasterVolume > 0.0)) return plat::audio::kVolumeSilent;
    if (mMasterVolume >= 1.0) return 0;
    return std::max(plat::audio::kVolumeSilent, int32_t(2000.0 * std::log10(mMasterVolume)));
}

void DSoundManager::SetMasterVolume(double volume) {
    mMasterVolume = std::min(std::max(volume, 0.0), 1.0);
    for (DSoundInstance* c : mChannels) {
        if (c) c->ApplyVolume();
    }
}

void DSoundManager::SetCooperativeWindow(void*, bool) {
    // The output does not depend on the window.
}

int DSoundManager::FindOrLoadSound(const std::string& fileName) {
    for (int id = 0; id < kMaxSounds; ++id) {
        if (mFileNames[id] == fileName && !fileName.empty()) return id;
    }
    for (int id = kMaxSounds - 1; id >= 0; --id) {
        if (!mSoundBuffers[id]) return LoadSound(unsigned(id), fileName) ? id : -1;
    }
    return -1;
}

std::string DSoundManager::CachePath(const std::string& name) {
    const bool relative = name.size() > 2 && name[0] != '\\' && name[0] != '/' && name[1] != ':';
    const std::string folder = GetAppDataFolder();
    if (!relative || folder.empty()) return "";
    return folder + "cached\\" + name + ".wav";
}

bool DSoundManager::LoadSound(unsigned int soundId, const std::string& fileName) {
    if (soundId >= unsigned(kMaxSounds)) return false;
    ReleaseSound(soundId);
    if (!mMixer) return true;  // silent: nothing is loaded, the id stays free
    mFileNames[soundId] = fileName;

    const std::string cache = CachePath(fileName);
    if (!cache.empty()) {
        if (ReadWavFile(soundId, cache)) return true;
        MakeFolders(GetFolderPart(cache, false));
    }
    if (ReadWavFile(soundId, fileName + ".wav")) return true;  // a plain WAV is never cached
    if (mUseDecoder) {
        for (const char* extension : {".mp3", ".ogg"}) {
            const std::string source = fileName + extension;
            if (LoadWithDecoder(soundId, source)) {
                WriteCachedWav(soundId, cache, source);
                return true;
            }
        }
    }
    const std::string au = fileName + ".au";
    if (!ReadAuFile(soundId, au)) return false;
    WriteCachedWav(soundId, cache, au);
    return true;
}

void DSoundManager::ReleaseSound(unsigned int soundId) {
    if (soundId >= unsigned(kMaxSounds) || !mSoundBuffers[soundId]) return;
    mSoundBuffers[soundId].reset();
    mFileNames[soundId].clear();
}

void DSoundManager::ReleaseSounds() {
    for (auto& buffer : mSoundBuffers) buffer.reset();
}

void DSoundManager::ReleaseChannels() {
    for (DSoundInstance*& c : mChannels) {
        delete c;
        c = nullptr;
    }
}

void DSoundManager::SetVolume(double volume) {
    mEffectsVolume = volume;
    for (DSoundInstance* c : mChannels) {
        if (c && c->GetBuffer()) c->ApplyVolume();
    }
}

bool DSoundManager::SetBaseVolume(unsigned int soundId, double baseVolume) {
    if (soundId >= unsigned(kMaxSounds)) return false;
    mBaseVolumes[soundId] = baseVolume;
    return true;
}

bool DSoundManager::SetBasePan(unsigned int soundId, int panning) {
    if (soundId >= unsigned(kMaxSounds)) return false;
    mBasePans[soundId] = panning;
    return true;
}

void DSoundManager::ReleaseFinishedChannels() {
    for (DSoundInstance*& c : mChannels) {
        if (c && c->IsReleased()) {
            delete c;
            c = nullptr;
        }
    }
}

int DSoundManager::FindFreeChannel() {
    const uint64_t now = plat::NowMs();
    if (now - mLastSweepMs > kSweepIntervalMs) {
        ReleaseFinishedChannels();
        mLastSweepMs = now;
    }
    for (int i = 0; i < kMaxChannels; ++i) {
        if (!mChannels[i]) return i;
        if (mChannels[i]->IsReleased()) {
            delete mChannels[i];
            mChannels[i] = nullptr;
            return i;
        }
    }
    return -1;
}

SoundInstance* DSoundManager::GetSoundInstance(int soundId) {
    if (soundId < 0 || soundId >= kMaxSounds) return nullptr;
    const int channel = FindFreeChannel();
    if (channel < 0) return nullptr;
    DSoundInstance* instance;
    if (mMixer) {
        if (!mSoundBuffers[soundId]) return nullptr;
        instance = new DSoundInstance(this, mSoundBuffers[soundId].get());
    } else {
        instance = new DSoundInstance(this, nullptr);  // silent: every play is refused
    }
    mChannels[channel] = instance;
    instance->SetBasePan(mBasePans[soundId]);
    instance->SetBaseVolume(mBaseVolumes[soundId]);
    return instance;
}

void DSoundManager::StopAllSounds() {
    for (DSoundInstance* c : mChannels) {
        if (c) c->Halt();  // auto-release instances are left to be reclaimed
    }
}

int DSoundManager::GetFreeSoundId() {
    for (int id = 0; id < kMaxSounds; ++id) {
        if (!mSoundBuffers[id]) return id;
    }
    return -1;
}

int DSoundManager::GetNumSounds() {
    int count = 0;
    for (const auto& buffer : mSoundBuffers) count += buffer ? 1 : 0;
    return count;
}

const plat::audio::Voice* DSoundManager::GetSoundBuffer(unsigned int soundId) const {
    return soundId < unsigned(kMaxSounds) ? mSoundBuffers[soundId].get() : nullptr;
}

int DSoundManager::GetDataSize(unsigned int soundId) const {
    return soundId < unsigned(kMaxSounds) ? mDataSizes[soundId] : 0;
}

const std::string& DSoundManager::GetSoundFileName(unsigned int soundId) const {
    static const std::string kNone;
    return soundId < unsigned(kMaxSounds) ? mFileNames[soundId] : kNone;
}

SoundInstance* DSoundManager::GetChannel(int channel) const {
    return channel >= 0 && channel < kMaxChannels ? mChannels[channel] : nullptr;
}

bool DSoundManager::StoreSound(unsigned int soundId, uint16_t channels, uint32_t rate, uint16_t bits,
                               const uint8_t* pcm, uint32_t bytes) {
    if (!mMixer || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate == 0) return false;
    plat::audio::BufferDesc desc;
    desc.flags = kSoundFlags;
    desc.format.channels = channels;
    desc.format.samplesPerSec = rate;
    desc.format.bitsPerSample = bits;
    desc.bytes = bytes - bytes % desc.format.BlockAlign();
    if (desc.bytes == 0) return false;
    auto voice = mMixer->CreateVoice(desc);
    if (!voice) return false;
    plat::audio::LockedRegion region;
    if (!voice->Lock(0, 0, region, true)) return false;
    std::memcpy(region.part1, pcm, region.bytes1);
    if (!voice->Unlock()) return false;
    mSoundBuffers[soundId] = std::move(voice);
    mDataSizes[soundId] = int32_t(desc.bytes);
    return true;
}

uint64_t DSoundManager::GetSourceFileTime(const std::string& name) {
    const int64_t seconds = plat::FileModifiedTime(name);
    if (seconds <= 0) return 0;
    return uint64_t(seconds) * 10000000ull + kUnixEpochAsFileTime;
}

bool DSoundManager::ReadWavFile(unsigned int soundId, const std::string& path) {
    if (soundId >= unsigned(kMaxSounds) || !mMixer) return false;
    PakFileHandle* f = PakFOpen(path.c_str(), "rb");
    if (!f) return false;
    auto fail = [f]() {
        PakFClose(f);
        return false;
    };
    if (PakFSeek(f, 0, SEEK_END) != 0) return fail();
    const long fileSize = PakFTell(f);
    if (fileSize < 0 || PakFSeek(f, 0, SEEK_SET) != 0) return fail();
    char tag[4];
    uint32_t riffSize = 0;
    if (!ReadTag(f, tag) || std::memcmp(tag, "RIFF", 4) != 0 || !ReadLe32(f, riffSize) || !ReadTag(f, tag) ||
        std::memcmp(tag, "WAVE", 4) != 0) {
        return fail();
    }
    // Defaults before any "fmt " chunk.
    uint16_t bits = 16;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint8_t key = 0;
    for (;;) {
        uint32_t length = 0;
        if (!ReadTag(f, tag) || !ReadLe32(f, length)) return fail();
        const long body = PakFTell(f);
        bool padded = true;
        if (std::memcmp(tag, "fmt ", 4) == 0) {
            uint16_t formatTag = 0, blockAlign = 0;
            uint32_t bytesPerSec = 0;
            if (!ReadLe16(f, formatTag) || !ReadLe16(f, channels) || !ReadLe32(f, rate) || !ReadLe32(f, bytesPerSec) ||
                !ReadLe16(f, blockAlign) || !ReadLe16(f, bits)) {
                return fail();
            }
            if (formatTag != 1) return fail();
        } else if (std::memcmp(tag, "dep ", 4) == 0) {
            // The cache's own chunks are written without a pad byte.
            padded = false;
            uint16_t n = 0;
            if (!ReadLe16(f, n)) return fail();
            n = std::min<uint16_t>(n, 255);
            std::string source(n, '\0');
            uint32_t low = 0, high = 0;
            if ((n > 0 && !ReadBytes(f, &source[0], n)) || !ReadLe32(f, low) || !ReadLe32(f, high)) return fail();
            const uint64_t now = GetSourceFileTime(source);
            if (uint32_t(now) != low || uint32_t(now >> 32) != high) return fail();  // stale
        } else if (std::memcmp(tag, "xor ", 4) == 0) {
            padded = false;
            if (!ReadBytes(f, &key, 1)) return fail();
        } else if (std::memcmp(tag, "data", 4) == 0) {
            if (long(length) > fileSize - body) return fail();  // truncated
            std::vector<uint8_t> pcm(length);
            const bool complete = length == 0 || ReadBytes(f, pcm.data(), int(length));
            PakFClose(f);
            if (!complete) return false;
            if (key != 0) {
                for (uint8_t& b : pcm) b ^= key;
            }
            return StoreSound(soundId, channels, rate, bits, pcm.data(), length);
        }
        // A standard RIFF chunk of odd length is followed by one pad byte.
        const long next = body + long(length) + ((padded && (length & 1)) ? 1 : 0);
        if (PakFSeek(f, next, SEEK_SET) != 0) return fail();
    }
}

bool DSoundManager::ReadAuFile(unsigned int soundId, const std::string& path) {
    if (soundId >= unsigned(kMaxSounds) || !mMixer) return false;
    PakFileHandle* f = PakFOpen(path.c_str(), "rb");
    if (!f) return false;
    auto fail = [f]() {
        PakFClose(f);
        return false;
    };
    char magic[4];
    uint32_t offset = 0, size = 0, encoding = 0, rate = 0, channels = 0;
    if (!ReadTag(f, magic) || std::memcmp(magic, ".snd", 4) != 0 || !ReadBe32(f, offset) || !ReadBe32(f, size) ||
        !ReadBe32(f, encoding) || !ReadBe32(f, rate) || !ReadBe32(f, channels)) {
        return fail();
    }
    if (encoding != 1 && encoding != 2) return fail();
    if (PakFSeek(f, 0, SEEK_END) != 0) return fail();
    const long end = PakFTell(f);
    if (end < long(offset) || PakFSeek(f, long(offset), SEEK_SET) != 0) return fail();
    const uint32_t present = uint32_t(end - long(offset));
    // 0xFFFFFFFF means "size unknown": everything up to the end of the file.
    if (size == 0xFFFFFFFFu) size = present;
    if (size > present) return fail();
    std::vector<uint8_t> raw(size);
    if (size > 0 && !ReadBytes(f, raw.data(), int(size))) return fail();
    PakFClose(f);
    if (channels > 2) return false;
    if (encoding == 1) {
        std::vector<uint8_t> pcm(size_t(size) * 2);
        for (size_t i = 0; i < raw.size(); ++i) {
            const int16_t s = MuLawToLinear(raw[i]);
            pcm[2 * i] = uint8_t(uint16_t(s) & 0xFF);
            pcm[2 * i + 1] = uint8_t(uint16_t(s) >> 8);
        }
        return StoreSound(soundId, uint16_t(channels), rate, 16, pcm.data(), uint32_t(pcm.size()));
    }
    // Linear 8-bit AU samples are signed; 8-bit voices take unsigned ones.
    for (uint8_t& b : raw) b ^= 0x80;
    return StoreSound(soundId, uint16_t(channels), rate, 8, raw.data(), size);
}

bool DSoundManager::LoadWithDecoder(unsigned int soundId, const std::string& path) {
    if (!mUseDecoder || soundId >= unsigned(kMaxSounds) || !mMixer) return false;
    DecodedSound sound;
    if (!DecodeSoundFile(path, sound)) return false;  // read by name from the disk
    if (uint64_t(sound.data.size()) >> 32 != 0) return false;
    return StoreSound(soundId, sound.channels, sound.samplesPerSec, sound.bitsPerSample, sound.data.data(),
                      uint32_t(sound.data.size()));
}

void DSoundManager::WriteCachedWav(unsigned int soundId, const std::string& cachePath, const std::string& sourceName) {
    if (cachePath.empty() || soundId >= unsigned(kMaxSounds) || !mSoundBuffers[soundId]) return;
    plat::audio::Voice& voice = *mSoundBuffers[soundId];
    const uint32_t size = uint32_t(mDataSizes[soundId]);
    plat::audio::LockedRegion region;
    if (!voice.Lock(0, 0, region, true)) return;
    std::vector<uint8_t> pcm(region.part1, region.part1 + std::min(size, region.bytes1));
    voice.Unlock();

    const plat::audio::PcmFormat& format = voice.Desc().format;
    const std::string name = sourceName.substr(0, 0xFFFF);
    const uint64_t time = GetSourceFileTime(sourceName);
    std::vector<uint8_t> out;
    // The "dep " and "xor " chunks are not counted in the RIFF size.
    wav::PutPcmHead(out, uint32_t(pcm.size()) + 36, format.channels, format.samplesPerSec, format.bitsPerSample);
    PutTag(out, "dep ");
    Put32(out, uint32_t(name.size()) + 10);
    Put16(out, uint32_t(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    Put32(out, uint32_t(time));
    Put32(out, uint32_t(time >> 32));
    PutTag(out, "xor ");
    Put32(out, 1);
    out.push_back(kCacheKey);
    PutTag(out, "data");
    Put32(out, uint32_t(pcm.size()));
    for (uint8_t b : pcm) out.push_back(uint8_t(b ^ kCacheKey));
    plat::WriteFileAtomic(cachePath, out.data(), out.size());  // no cache file is no failure
}

}  // namespace Velm
